#!/usr/bin/env python3
"""Random command lines against the real program, best built with -DBRIVAMO_SANITIZE=ON.

Each run draws a short sequence of options and values (every option the program's --help names,
Qt's window options, "--", values that look like options, hostile file names and numbers) and runs
the program without a display in a folder of lists that includes links to lists under PDF names, a
hard link, a link to a pipe, a Latin-1 file name and the pages of an earlier run. After every run
it checks what must always hold:

  - the program ends by itself with a status of 0 to 4 (never a signal, never a hang);
  - no sanitizer report, and on a failure one line "brivamo: ..." on the standard error (after any
    progress lines);
  - every list file keeps its bytes; after a failure every earlier page is untouched, after a
    success each is untouched or a whole new page (PDF, PNG or SVG: any option may name any
    file); no temporary file is left behind.

Usage: command_line_fuzz.py PROGRAM [SECONDS [SEED]]
Prints a summary; the exit status is 1 when any run broke a rule (each is printed with its
arguments so that it can be repeated).
"""

import collections
import hashlib
import os
import random
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time

# The options come from the program's own --help (see main), so a new option is tried at once.
OPTIONS_WITH_VALUES = []
SWITCHES = ["-h", "--"]
QT_OPTIONS = ["-platform", "--platform", "-display", "-style", "-stylesheet", "-reverse", "-geometry",
              "-platformpluginpath", "-qwindowtitle", "-style=fusion", "-reverse=1", "-session"]
VALUES = [
    "animals", "ANIMALS", "pets", "-h", "Pipe", "caf\xe9", "cafe\u0301", "Big", "missing", "../animals",
    "a/b", "", " ", "--make", "--pdf", "-platform", "xcb", "wayland", "eglfs", "nonsense", ":987",
    "0", "1", "2", "3", "12", "30", "31", "-1", "4294967295", "4294967296", "1000001", "0x10", "1e3",
    "out.pdf", "old.pdf", "a.pdf", "hard.pdf", "list.LST", "new.pdf", "/dev/full", "/dev/null",
    "nowhere/x.pdf", ".", "/", "W" * 300, "x" * 5000, "Grandma", "\u00e9\u00e8", "%s%n", "\t",
    "easy", "medium", "hard", "Easy", "a4", "letter", "A4", "legal", "dots", "outline", "list",
    "old.png", "old.svg", "x.png", "HELLO THERE", "\u202eGOODBYE", "\u00a1FELIZ A\u00d1O!", "ZZZZZZZZ" * 40,
]
# Values that suit an option, drawn more often than any value.
FITTING = {
    "--level": ["easy", "medium", "hard"], "--paper": ["a4", "letter"], "--key": ["dots", "outline"],
    "--message": ["HELLO", "HELLO THERE", "\u202eGOODBYE", "QQQQQQQQQQQQQQQQQQQQQQQQQQQQQQ"],
    "--png": ["old.png", "x.png", "/dev/full", "nowhere/x.png"], "--svg": ["old.svg", "x.svg", "/dev/null"],
    "--size": ["9", "12", "15", "30"], "--count": ["1", "2", "3"],
}
PDF_NAMES = ["out.pdf", "old.pdf", "a.pdf", "hard.pdf", "new.pdf", "/dev/full", "nowhere/x.pdf", ".",
             "Pets.lst", "caf\xe9", "-h"]
LISTS = {
    "Animals.lst": b"ALLIGATOR\r\nBADGER\r\nCAMEL\r\nDOLPHIN\r\nEMU\r\nGIRAFFE\r\nZEBRA\r\n",
    "Pets.lst": b"CAT\r\nDOG\r\nHAMSTER\r\n",
    "-h.lst": b"CAT\r\nDOG\r\n",
    b"caf\xe9.lst": b"LION\r\nTIGER\r\n",
}


def argument_bytes(text):
    """A value as the program gets it: Latin-1 "caf\\xe9" as that single byte, the rest UTF-8."""
    if text == "caf\xe9":
        return b"caf\xe9"
    return text.encode("utf-8", "surrogateescape")


def draw_arguments(rng):
    arguments = []
    for _ in range(rng.randint(0, 8)):
        kind = rng.random()
        if kind < 0.45:
            option = rng.choice(OPTIONS_WITH_VALUES)
            arguments.append(option)
            if option in FITTING and rng.random() < 0.6:
                arguments.append(rng.choice(FITTING[option]))
            elif rng.random() < 0.9:
                arguments.append(rng.choice(VALUES))
        elif kind < 0.75:
            arguments.append(rng.choice(SWITCHES))
        elif kind < 0.9:
            arguments.append(rng.choice(QT_OPTIONS))
        else:
            arguments.append(rng.choice(VALUES))
    # Most runs ask for a puzzle, so that the paths behind the parser are reached as well.
    if rng.random() < 0.7 and "--make" not in arguments:
        arguments[0:0] = ["--make", rng.choice(["animals", "pets", "-h", "caf\xe9", "Pipe", "Big"])]
    # And many of those ask for pages, into a file or onto a print queue.
    if rng.random() < 0.4:
        arguments += rng.choice([["--pdf", rng.choice(PDF_NAMES)], ["--print"], ["--png", "old.png"],
                                 ["--svg", "old.svg", "--pdf", "old.pdf"]])
    # Keep runs short: a large count only where it is refused anyway.
    for i, argument in enumerate(arguments[:-1]):
        if argument == "--count" and arguments[i + 1] in ("1000001",):
            continue
        if argument == "--count" and arguments[i + 1].isdigit() and int(arguments[i + 1]) > 12:
            arguments[i + 1] = "12"
    return arguments


def digest(path):
    with open(path, "rb") as file:
        return hashlib.sha256(file.read()).hexdigest()


class Folder:
    """The lists folder every run works in, and what must stay as it is."""

    def __init__(self, root):
        self.path = os.path.join(root, "lists")
        os.mkdir(self.path)
        for name, content in LISTS.items():
            with open(os.path.join(os.fsencode(self.path), os.fsencode(name)), "wb") as file:
                file.write(content)
        with open(os.path.join(self.path, "Big.lst"), "wb") as file:
            file.write(b"A" * (5 * 1024 * 1024))
        os.mkfifo(os.path.join(root, "pipe"))
        os.symlink(os.path.join(root, "pipe"), os.path.join(self.path, "Pipe.lst"))
        os.symlink("b.pdf", os.path.join(self.path, "a.pdf"))
        os.symlink("Pets.lst", os.path.join(self.path, "b.pdf"))
        os.link(os.path.join(self.path, "Pets.lst"), os.path.join(self.path, "hard.pdf"))
        os.symlink("list.LST", os.path.join(self.path, "new.pdf"))
        self.restore_pages()
        self.kept = {name: digest(os.path.join(os.fsencode(self.path), os.fsencode(name)))
                     for name in list(LISTS) + ["Big.lst"]}

    EARLIER = b"an earlier printout\n"
    PAGES = ["old.pdf"] + ["old%s%s.%s" % (number, solution, kind) for kind in ("png", "svg")
                           for number in ("", "-1", "-2", "-3") for solution in ("", "-solution")]

    def restore_pages(self):
        for name in self.PAGES:
            with open(os.path.join(self.path, name), "wb") as file:
                file.write(self.EARLIER)

    def problems(self, succeeded):
        found = []
        for name, kept in self.kept.items():
            path = os.path.join(os.fsencode(self.path), os.fsencode(name))
            if not os.path.exists(path) or digest(path) != kept:
                found.append("list %r changed" % name)
        for entry in os.listdir(os.fsencode(self.path)):
            if entry.endswith(b".tmp"):
                found.append("temporary file %r left" % entry)
            if entry.lower().endswith(b".lst") and entry not in {os.fsencode(n) for n in self.kept} \
                    and entry != b"Pipe.lst":
                found.append("new list file %r" % entry)
        for name in self.PAGES:
            with open(os.path.join(self.path, name), "rb") as file:
                content = file.read()
            if content == self.EARLIER:
                continue
            if not succeeded:
                found.append("%s changed by a run that failed" % name)
            elif not (content.startswith(b"\x89PNG") or content.rstrip().endswith(b"</svg>") or
                      content.startswith(b"%PDF") and subprocess.run(
                          ["pdfinfo", os.path.join(self.path, name)], capture_output=True).returncode == 0):
                found.append("%s is neither the earlier file nor a whole new page" % name)
        self.restore_pages()
        for entry in os.listdir(self.path):
            if entry.endswith((".pdf", ".png", ".svg")) and entry not in self.PAGES and \
                    entry not in ("a.pdf", "b.pdf", "hard.pdf", "new.pdf"):
                os.remove(os.path.join(self.path, entry))
        return found


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    program = os.path.abspath(sys.argv[1])
    usage = subprocess.run([program, "--help"], capture_output=True, text=True, check=True).stdout
    for line in usage.splitlines():
        words = line.split()
        if words and words[0].startswith("--"):
            takes_value = len(words) > 1 and (words[1].isupper() or "|" in words[1])
            (OPTIONS_WITH_VALUES if takes_value else SWITCHES).append(words[0])
    print("options: %s" % " ".join(OPTIONS_WITH_VALUES + SWITCHES), flush=True)
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 180
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else int(time.time())
    rng = random.Random(seed)
    root = tempfile.mkdtemp(prefix="brivamo-fuzz-")
    silent = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    silent.bind(os.path.join(root, "silent.sock"))
    silent.listen(64)
    folder = Folder(root)
    environment = {key: value for key, value in os.environ.items()
                   if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    environment.update({"HOME": root, "XDG_CONFIG_HOME": os.path.join(root, "config"),
                        "XDG_DATA_HOME": os.path.join(root, "data"),
                        "BRIVAMO_TERMINATE_MESSAGE_TO_STDERR": "1",
                        "ASAN_OPTIONS": "detect_leaks=0:abort_on_error=0",
                        "UBSAN_OPTIONS": "print_stacktrace=1"})
    runs = 0
    statuses = collections.Counter()
    failures = []
    deadline = time.monotonic() + seconds
    try:
        while time.monotonic() < deadline:
            arguments = draw_arguments(rng)
            env = dict(environment)
            # A tenth of the print attempts meet a server that takes the connection and never answers.
            silent_server = rng.random() < 0.1
            env["CUPS_SERVER"] = os.path.join(root, "silent.sock" if silent_server else "no-server.sock")
            env["BRIVAMO_PRINT_SERVER_TIME_LIMIT"] = "1"
            try:
                result = subprocess.run([program] + [argument_bytes(a) for a in arguments], cwd=folder.path,
                                        env=env, capture_output=True, timeout=60)
                status = result.returncode
                errors = result.stderr.decode("utf-8", "replace")
            except subprocess.TimeoutExpired:
                status, errors = "hang", ""
            runs += 1
            statuses[status] += 1
            broken = []
            if status not in (0, 1, 2, 3, 4):
                broken.append("status %s" % status)
            if "Sanitizer" in errors or "runtime error:" in errors:
                broken.append("sanitizer: " + errors[:2000])
            lines = [line for line in errors.splitlines()
                     if line and not re.match(r"brivamo: \d+ of \d+ pages laid out$", line)]
            if status in (1, 2, 4) and (len(lines) != 1 or not lines[0].startswith("brivamo: ")):
                # The one exception: a second copy's message to the standard error has two lines.
                broken.append("standard error is not one reason line: %r" % errors[:500])
            broken += folder.problems(status == 0)
            if broken:
                failures.append((arguments, broken))
                print("FAILED %r: %s" % (arguments, "; ".join(broken)), flush=True)
    finally:
        silent.close()
        shutil.rmtree(root, ignore_errors=True)
    print("seed %d: %d runs in %.0f s, statuses %s, %d failed"
          % (seed, runs, seconds, dict(sorted(statuses.items(), key=str)), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
