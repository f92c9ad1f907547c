"""Message box pictures: information, question, warning and critical, as SVG.

Drawn as vectors in the house palette so that a box shows them sharp at any scale
(1, 1.5, 2 or whatever the desktop asks for); the shapes are plain paths, so no
font is needed to draw them. Deterministic: re-running writes the same files.
"""

from artwork_lib import PALETTE, out_path


def colour(name):
    return "#%02x%02x%02x" % PALETTE[name]


def svg(body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">\n'
            + body + "</svg>\n")


def disc(fill):
    return ('<circle cx="32" cy="32" r="29" fill="%s" stroke="%s" stroke-width="3"/>\n'
            % (colour(fill), colour("ink")))


def information():
    return svg(disc("blue")
               + '<circle cx="32" cy="17.5" r="4.5" fill="#ffffff"/>\n'
               + '<rect x="27.5" y="26" width="9" height="25" rx="2" fill="#ffffff"/>\n')


def question():
    return svg(disc("blue")
               + '<path d="M21.5 24.5 C21.5 11 42.5 11 42.5 24 C42.5 32 32 32 32 40" fill="none" '
                 'stroke="#ffffff" stroke-width="7" stroke-linecap="round"/>\n'
               + '<circle cx="32" cy="50.5" r="4.5" fill="#ffffff"/>\n')


def warning():
    return svg('<path d="M32 4 L61 57 L3 57 Z" fill="%s" stroke="%s" stroke-width="3" '
               'stroke-linejoin="round"/>\n' % (colour("yellow"), colour("ink"))
               + '<rect x="28" y="21" width="8" height="22" rx="2" fill="%s"/>\n' % colour("ink")
               + '<circle cx="32" cy="50" r="4.5" fill="%s"/>\n' % colour("ink"))


def critical():
    return svg(disc("red")
               + '<path d="M21 21 L43 43 M43 21 L21 43" stroke="#ffffff" stroke-width="8" '
                 'stroke-linecap="round"/>\n')


def main():
    for name, picture in (("information", information), ("question", question),
                          ("warning", warning), ("critical", critical)):
        with open(out_path("message_%s.svg" % name), "w") as f:
            f.write(picture())


if __name__ == "__main__":
    main()
