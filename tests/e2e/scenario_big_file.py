"""A 50 MB plain-text file: shown and usable while it loads, and whole in the end."""

import os

from editor import check, open_file
from xdriver import wait_for

TYPED = []

LINES = 1_200_000


def line(number):
    return "%07d строка 行 line of a big file" % number


def write_big_file(path):
    with open(path, "w", encoding="utf-8") as f:
        for start in range(1, LINES + 1, 10000):
            f.write("".join(line(n) + "\n" for n in range(start, min(start + 10000, LINES + 1))))
    return os.path.getsize(path)


def copied_line(program, *keys):
    """Moves the caret with keys, selects its line to the end and copies it."""
    program.activate(program.main)
    program.session.key(*keys)
    program.session.key("shift+End")
    return program.copy_selection().rstrip("\n")


def big_file_shows_at_once(ctx):
    path = os.path.join(ctx.dir, "big.txt")
    size = write_big_file(path)
    check(size > 50 * 1000 * 1000, "the file is only %d bytes" % size)
    program = ctx.start()
    open_file(program, path)

    # While the rest still loads: the first line is there, PageDown moves down a page,
    # and the end of the document is not yet the end of the file.
    first = copied_line(program, "ctrl+Home")
    check(first == line(1), "the first line shows as %r" % first)
    paged = copied_line(program, "Page_Down", "Home")
    check(paged.startswith("00") and paged != line(1), "after PageDown the caret's line is %r" % paged)
    end = copied_line(program, "ctrl+End", "Home")
    check(end != line(LINES), "the whole file was in before the first keys were answered")

    def whole():
        return copied_line(program, "ctrl+End", "Up", "Home") == line(LINES)
    wait_for(whole, 180, "the file's last line at the end of the document")
    ctx.quit(program)
