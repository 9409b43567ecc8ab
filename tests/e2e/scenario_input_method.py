"""Japanese typed through a real input method: into the editor, and into the
foreign-language search box with Japanese chosen, then found."""

from editor import FOREIGN_SEARCH, answer_close_prompt, check, editor_text, read_field
from input_method import InputMethod, missing
from xdriver import DEFAULT_TIMEOUT, Skip, wait_for

# Texts typed here, bound into the keymap before the program starts (romaji needs none).
TYPED = []

READING = "nihongo"
ATTEMPTS = 3
JAPANESE_LABEL = "日本語 Shift-JIS"


def is_japanese(text):
    """Kana and kanji only: what a kana-kanji conversion commits."""
    return bool(text) and all(0x3040 <= ord(c) <= 0x30FF or 0x4E00 <= ord(c) <= 0x9FFF for c in text)


def japanese_input_method(ctx):
    reason = missing()
    if reason:
        raise Skip(reason)
    with InputMethod(ctx.session, ctx.dir) as im:
        if not im.started():
            raise Skip("Fcitx 5 did not start on the test's X server:\n" + im.log()[-2000:])
        try:
            typed_through(ctx, im)
        except Exception:
            print("--- fcitx5 ---\n" + im.log()[-4000:])
            raise


def converted(program, im, read, clear, what):
    """Types READING through the input method where the focus is and returns what it
    committed, read back with read() once it is there. Typing is tried again (after
    clear()) when the text did not arrive as kana and kanji, as when a slow client gets
    a key before the input method has switched on for it."""
    text = None
    for attempt in range(ATTEMPTS):
        clear()
        im.type_reading(READING)
        text = wait_for(read, DEFAULT_TIMEOUT, "the converted text in %s" % what)
        im.switch(False)
        if is_japanese(text):
            return text
        print("%r arrived in %s as %r; typing it again (attempt %d)" % (READING, what, text, attempt + 1))
    check(False, "the input method committed %r into %s" % (text, what))


def typed_through(ctx, im):
    program = ctx.start(extra_env=im.client_env())

    # Into the editor, after some Latin text typed with the input method off.
    def start_line():
        program.activate(program.main)
        program.session.key("ctrl+a", "Delete")
        program.session.type("abc ")

    def after_start():
        text = editor_text(program)
        return text[len("abc "):] if text.startswith("abc ") and len(text) > 4 else None
    committed = converted(program, im, after_start, start_line, "the editor")
    print("committed %r for %r" % (committed, READING))

    # Into the search box, with Japanese chosen in the language list (the last control
    # in the tab order, so one Shift+Tab away from the search box).
    program.activate(program.main)
    program.session.key("ctrl+r")
    dialog = program.wait_active(FOREIGN_SEARCH)
    program.session.key("shift+Tab")
    program.session.key(*["Up"] * 14)
    language = read_field(program, dialog)
    check(language == JAPANESE_LABEL, "the language list shows %r" % language)
    program.session.key("Tab")

    def empty_box():
        program.activate(dialog)
        program.session.key("ctrl+a", "Delete")

    typed = converted(program, im, lambda: read_field(program, dialog) or None, empty_box, "the search box")
    check(typed == committed, "the search box holds %r, the editor %r" % (typed, committed))

    # Found: the find button selects it in the editor.
    program.activate(dialog)
    program.session.key("alt+f")
    program.close_window(dialog)
    program.wait_window_gone(FOREIGN_SEARCH)
    found = program.copy_selection()
    check(found == committed, "the search selected %r" % found)

    program.close_window(program.main)
    answer_close_prompt(program, "n")
    code = program.wait_exit()
    check(code == 0, "the program exited with code %d" % code)
