#!/usr/bin/env python3
"""Looks at the running program through the desktop's accessibility bus, as a screen reader does.

  atspi_check.py windows TITLE   a showing window named TITLE is a frame, dialog or alert; every
                                 showing window is; every push button and scroll bar in them has a name
  atspi_check.py value NAME N    the control NAME is focusable and its value is N
  atspi_check.py focused NAME    the control with the keyboard focus is named NAME

Each check is retried until it holds or the time limit (seconds, BRIVAMO_ATSPI_WAIT, 60 by
default) runs out; the bus answers only once the program has published what changed.
"""
import os
import sys
import time

import pyatspi

WAIT = float(os.environ.get("BRIVAMO_ATSPI_WAIT", "60"))


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and (app.name or "").lower() == "brivamo":
            return app
    raise LookupError("the program is not on the accessibility bus")


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def descendants(acc):
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def windows():
    app = program()
    return [w for w in (app.getChildAtIndex(i) for i in range(app.childCount)) if w is not None and showing(w)]


def check_windows(title):
    shown = windows()
    if not any(w.name == title for w in shown):
        raise LookupError(f'no window named "{title}" among {[w.name for w in shown]}')
    for w in shown:
        # A message box is an alert: the kind of dialog a screen reader reads out at once.
        if w.getRole() not in (pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT):
            raise AssertionError(f'window "{w.name}" is a {w.getRoleName()}, not a frame or dialog')
        if not w.name:
            raise AssertionError(f"a {w.getRoleName()} has no name")
        for acc in descendants(w):
            if acc.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_SCROLL_BAR) and showing(acc):
                if not acc.name:
                    raise AssertionError(f'a {acc.getRoleName()} in "{w.name}" has no name')
    return f"{len(shown)} window(s): " + ", ".join(f"{w.getRoleName()} \"{w.name}\"" for w in shown)


def find(name):
    for w in windows():
        for acc in descendants(w):
            if acc.name == name and showing(acc):
                return acc
    raise LookupError(f'no control named "{name}"')


def check_value(name, expected):
    acc = find(name)
    if not acc.getState().contains(pyatspi.STATE_FOCUSABLE):
        raise AssertionError(f'"{name}" cannot take the focus')
    value = acc.queryValue().currentValue
    if round(value) != int(expected):
        raise LookupError(f'"{name}" is {value}, not {expected}')
    return f'"{name}" is {value}'


def check_focused(name):
    for w in windows():
        for acc in descendants(w):
            if acc.getState().contains(pyatspi.STATE_FOCUSED) and showing(acc):
                if acc.name == name:
                    return f'focus on "{name}"'
                raise LookupError(f'the focus is on "{acc.name}" ({acc.getRoleName()}), not "{name}"')
    raise LookupError("no control has the focus")


def main():
    checks = {"windows": check_windows, "value": check_value, "focused": check_focused}
    if len(sys.argv) < 3 or sys.argv[1] not in checks:
        print(__doc__, file=sys.stderr)
        return 2
    deadline = time.monotonic() + WAIT
    while True:
        try:
            print(checks[sys.argv[1]](*sys.argv[2:]))
            return 0
        except (LookupError, AssertionError) as failure:
            # A wrong role or a missing name may still be the window being built: wait for it too.
            if time.monotonic() > deadline:
                print(f"atspi_check: {failure}", file=sys.stderr)
                return 1
        except Exception as failure:  # the bus may drop an object that went away meanwhile
            if time.monotonic() > deadline:
                print(f"atspi_check: {failure!r}", file=sys.stderr)
                return 1
        time.sleep(0.1)


if __name__ == "__main__":
    sys.exit(main())
