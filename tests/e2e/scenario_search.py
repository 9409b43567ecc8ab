"""The foreign-language search, Find Next (F4) and Replace All."""

import os

from editor import (FOREIGN_SEARCH, REPLACE, check, editor_text, open_file, read_bytes,
                    type_checked, write)
from xdriver import wait_for

# Texts typed here, bound into the keymap before the program starts.
TYPED = ["текст", "①", "日本語", "にほんご"]


# --- 3. foreign-language search, find next, Replace All -------------------------------
SEARCH_TEXT = ("Русский текст и ещё один ТЕКСТ.\n"
               "日本語のテキスト、日本語の文書。\n"
               "последний текст\n")


def search_and_replace(ctx):
    path = write(os.path.join(ctx.dir, "search.txt"), SEARCH_TEXT.encode("utf-8"))
    program = ctx.start()
    open_file(program, path)

    program.session.key("ctrl+r")
    dialog = program.wait_active(FOREIGN_SEARCH)
    type_checked(program, dialog, "текст")
    program.session.key("alt+f")  # 次を検索(&F)
    program.close_window(dialog)  # its close box hands the search over to the main window
    program.wait_window_gone(FOREIGN_SEARCH)
    program.activate(program.main)
    found = program.copy_selection()
    check(found == "текст", "the foreign-language search selected %r, not the first 'текст'" % found)

    program.session.key("F4")
    found = program.copy_selection()
    check(found == "ТЕКСТ", "F4 selected %r, not the next occurrence 'ТЕКСТ' (case ignored)" % found)
    program.session.key("F4")
    found = program.copy_selection()
    check(found == "текст", "the second F4 selected %r, not the last 'текст'" % found)
    program.session.type("①")  # typing replaces the selection: shows which occurrence it was
    edited = SEARCH_TEXT.replace("последний текст", "последний ①")
    shown = editor_text(program)
    check(shown == edited, "typing over the third match gave %r" % shown)

    program.session.key("ctrl+h")
    dialog = program.wait_active(REPLACE)
    type_checked(program, dialog, "日本語")
    program.session.key("Tab")
    type_checked(program, dialog, "にほんご")
    program.session.key("alt+a")  # すべて置換(&A)
    expected = edited.replace("日本語", "にほんご")
    program.activate(dialog)
    program.session.key("Escape")
    program.wait_window_gone(REPLACE)
    program.activate(program.main)
    shown = editor_text(program)
    check(shown == expected, "Replace All left %r" % shown)

    program.session.key("ctrl+s")  # the document has a name: saved in place, no dialog
    wait_for(lambda: read_bytes(path) != SEARCH_TEXT.encode("utf-8"), 30, "Ctrl+S to write %s" % path)
    saved = read_bytes(path).decode("utf-8", errors="replace")
    check(saved == expected, "the saved file holds %r, not %r" % (saved, expected))
    ctx.quit(program)
