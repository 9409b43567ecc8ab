"""The "save changes?" prompt at close, and the settings written at close."""

import os

from editor import (FOREIGN_SEARCH, JAPANESE, MAIN, SAVE_DIALOG, answer_close_prompt,
                    answer_file_dialog, check, editor_text, open_file, read_bytes,
                    rtf_text, settings_text, type_checked, type_checked_append, write)

# Texts typed here, bound into the keymap before the program starts.
TYPED = ["破棄される文 и текст", "追加", "IPAGothic", JAPANESE]


# --- 4. the "save changes?" prompt at close, and the settings written at close --------
def files_in(directory):
    return sorted(name for name in os.listdir(directory)
                  if os.path.isfile(os.path.join(directory, name)) and name.endswith((".rtf", ".txt")))


def settings_values(program):
    text = settings_text(program)
    values = {}
    for line in text.splitlines():
        name, sep, value = line.partition("=")
        if sep and name.startswith('"'):
            values[name.strip('"')] = value
    return text, values


def close_prompt_and_settings(ctx):
    # Untitled and modified: Cancel keeps the window and the text; No discards it.
    program = ctx.start()
    typed = "破棄される文 и текст"
    type_checked(program, program.main, typed)
    program.close_window(program.main)
    answer_close_prompt(program, "Escape")
    check(program.running() and program.find_window(MAIN), "Cancel in the close prompt closed the program")
    check(editor_text(program) == typed, "Cancel in the close prompt lost the text")
    program.close_window(program.main)
    answer_close_prompt(program, "n")  # いいえ(&N)
    code = program.wait_exit()
    check(code == 0, "the program exited with code %d after No" % code)
    check(files_in(ctx.dir) == [] and files_in(program.home) == [],
          "No in the close prompt wrote a file: %r" % (files_in(ctx.dir) + files_in(program.home)))
    text, values = settings_values(program)
    check(values.get("iCharSet") == "dword:0000000b" and values.get("stFont") == '"Arial CYR"',
          "the settings store written at close holds %r, not the defaults" % text)

    # A named document, modified, closed with File → 終了: Yes saves it in place. The
    # language and font chosen in the foreign-language search are what the store keeps.
    path = write(os.path.join(ctx.dir, "keep.txt"), "元の文\n".encode("utf-8"))
    program = ctx.start(config_home=program.config_home)
    open_file(program, path)
    program.session.key("ctrl+End")
    type_checked_append(program, "追加")
    program.session.key("ctrl+r")
    dialog = program.wait_active(FOREIGN_SEARCH)
    program.session.key("Tab")  # the font box
    type_checked(program, dialog, "IPAGothic")
    program.session.key("shift+Tab", "shift+Tab")  # back past the search box to the language box
    program.session.key(*["Up"] * 14)  # up to the first of the 14 languages: 日本語 Shift-JIS
    program.close_window(dialog)
    program.wait_window_gone(FOREIGN_SEARCH)
    program.activate(program.main)
    program.session.key("alt+f")
    program.session.key("x")  # 終了(&X)
    answer_close_prompt(program, "y")  # はい(&Y)
    code = program.wait_exit()
    check(code == 0, "the program exited with code %d after Yes" % code)
    saved = read_bytes(path).decode("utf-8", errors="replace")
    check(saved == "元の文\n追加", "Yes in the close prompt saved %r" % saved)
    text, values = settings_values(program)
    check(values.get("iCharSet") == "dword:00000000" and values.get("stFont") == '"IPAGothic"',
          "the settings store holds %r, not the language and font chosen" % text)

    # Untitled and modified: Yes asks for a name, and the file is written there.
    program = ctx.start(config_home=program.config_home)
    type_checked(program, program.main, JAPANESE)
    program.close_window(program.main)
    answer_close_prompt(program, "y")
    target = os.path.join(ctx.dir, "閉じる前に.rtf")
    answer_file_dialog(program, SAVE_DIALOG, target)
    code = program.wait_exit()
    check(code == 0, "the program exited with code %d after saving at close" % code)
    check(JAPANESE in rtf_text(target), "the document saved at close does not hold the text")
