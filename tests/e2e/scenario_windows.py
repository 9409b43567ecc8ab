"""Every window the program opens is drawn on the screen as soon as it shows."""

import os
import time
from collections import Counter

from editor import CLOSE_PROMPT, OPEN_DIALOG, OPEN_PROMPT, SAVE_DIALOG, check
from xdriver import Failure

# Texts typed here, bound into the keymap before the program starts.
TYPED = []

# A window still undrawn this long after it showed is what a person calls a black box.
DRAWN_WITHIN = 3.0


def looks_drawn(before, after):
    """True when a window's area shows something of its own: not one colour (black, or
    a bare background), and not what the screen showed there before the window opened
    (a window that never paints leaves the old picture in place)."""
    if not after:
        return False
    if max(Counter(after).values()) >= 0.95 * len(after):
        return False
    changed = sum(1 for old, new in zip(before, after) if old != new)
    return changed >= 0.02 * len(after)


def expect_drawn(ctx, program, title, before):
    """Waits for the window titled title and checks that it is drawn within DRAWN_WITHIN
    seconds of showing; before is the screen as it was before the window was opened."""
    wid = program.wait_window(title)
    shown = time.monotonic()
    while True:
        rect = program.session.window_rect(wid)
        if looks_drawn(before.pixels(rect), program.session.screen().pixels(rect)):
            print("%s: drawn within %.2f s" % (title, time.monotonic() - shown))
            return wid
        if time.monotonic() - shown > DRAWN_WITHIN:
            shot = program.session.screenshot(os.path.join(ctx.dir, "undrawn.png"))
            raise Failure("the window %r was still not drawn %.0f s after it showed (screen: %s)"
                          % (title, DRAWN_WITHIN, shot))
        time.sleep(0.05)


def open_window(ctx, program, keys, title, owner=None):
    """Presses keys in owner (the main window when None) and checks that the window titled
    title that they open is drawn."""
    program.activate(owner or program.main)
    before = program.session.screen()
    for key in keys:
        program.session.key(key)
    return expect_drawn(ctx, program, title, before)


def close_with(program, wid, title, key):
    program.activate(wid)
    program.session.key(key)
    program.wait_window_gone(title)


def every_window_drawn(ctx):
    program = ctx.start()
    # The modal dialogs of the menus, each closed the way it is cancelled.
    for keys, title, close in [(["alt+f", "p"], "印刷", "Escape"),                 # print
                               (["alt+f", "u"], "プリンタの設定", "Escape"),       # printer setup, or "no printer"
                               (["alt+t", "p"], "段落の書式設定", "Escape"),       # paragraph
                               (["alt+t", "f"], "フォント", "Escape"),             # font
                               (["alt+h", "a"], "バージョン情報", "Return"),       # About
                               (["ctrl+o"], OPEN_DIALOG, "Escape"),
                               (["alt+f", "a"], SAVE_DIALOG, "Escape")]:
        wid = open_window(ctx, program, keys, title)
        close_with(program, wid, title, close)

    # The page width (the one item of its menu without an accelerator), and the message
    # box over it that an invalid width brings.
    width = open_window(ctx, program, ["alt+t", "Up", "Up", "Return"], "ページの幅")
    program.session.key("ctrl+a")
    program.session.type("wide")
    box = open_window(ctx, program, ["Return"], "Word Processor", owner=width)
    close_with(program, box, "Word Processor", "Return")
    close_with(program, width, "ページの幅", "Escape")

    # The modeless search dialogs, closed by their close box.
    for keys, title in [(["ctrl+f"], "検索"), (["ctrl+h"], "置換"), (["ctrl+r"], "検索")]:
        wid = open_window(ctx, program, keys, title)
        program.close_window(wid)
        program.wait_window_gone(title)

    # The save questions of a modified document: before New, and at close.
    program.activate(program.main)
    program.session.type("text")
    prompt = open_window(ctx, program, ["ctrl+n"], OPEN_PROMPT)
    close_with(program, prompt, OPEN_PROMPT, "Escape")
    program.activate(program.main)
    before = program.session.screen()
    program.session.run(["wmctrl", "-i", "-c", program.main])
    prompt = expect_drawn(ctx, program, CLOSE_PROMPT, before)
    program.activate(prompt)
    program.session.key("n")
    code = program.wait_exit()
    check(code == 0, "the program exited with code %d" % code)
