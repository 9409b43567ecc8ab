"""Typing Japanese and Cyrillic and saving as RTF and plain text; reopening files."""

import os

from editor import (JAPANESE, MAIN, RUSSIAN, SAVE_DIALOG, answer_file_dialog, check,
                    editor_text, open_file, read_bytes, rtf_text, save_as_menu,
                    type_checked, type_checked_append, wait_file, write)
from xdriver import Failure, wait_for

# Texts typed here, bound into the keymap before the program starts.
TYPED = [JAPANESE, RUSSIAN, " 追記"]


# --- 1. type Japanese and Cyrillic, save as RTF and as plain text --------------------
def save_rtf_and_txt(ctx):
    program = ctx.start()
    typed = JAPANESE + "\n" + RUSSIAN
    type_checked(program, program.main, typed)

    rtf = os.path.join(ctx.dir, "保存テスト.rtf")
    program.session.key("ctrl+s")  # an untitled document: Save goes through Save As
    proposed = answer_file_dialog(program, SAVE_DIALOG, rtf)
    check(proposed == "Untitled.rtf", "the Save dialog proposed %r, not Untitled.rtf" % proposed)
    wait_file(rtf)
    data = read_bytes(rtf)
    check(data.startswith(b"{\\rtf1"), "%s is not RTF: %r" % (rtf, data[:40]))
    check(data.rstrip().endswith(b"}"), "%s does not end its group: %r" % (rtf, data[-40:]))
    shown = rtf_text(rtf)
    for line in (JAPANESE, RUSSIAN):
        check(line in shown, "the RTF file does not hold %r; AbiWord reads %r" % (line, shown))

    txt = os.path.join(ctx.dir, "plain.txt")
    save_as_menu(program)
    proposed = answer_file_dialog(program, SAVE_DIALOG, txt)
    check(proposed == os.path.basename(rtf), "Save As proposed %r, not the document's name" % proposed)
    wait_file(txt)
    raw = read_bytes(txt)
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError:
        raise Failure("the new plain-text file is not UTF-8: %r" % raw[:80])
    check(not text.startswith("\ufeff"), "the plain-text file starts with a byte-order mark")
    check(b"\r" not in raw, "a new plain-text file has CR line breaks: %r" % raw)
    check(text.rstrip("\n") == typed, "the plain-text file holds %r, not %r" % (text, typed))
    check(not raw.startswith(b"{\\rtf"), "the .txt file was written as RTF")
    check(read_bytes(rtf) == data, "saving as .txt changed the .rtf file")

    # Plain text is saved as plain text from now on: Ctrl+S writes the .txt again.
    program.activate(program.main)
    program.session.key("ctrl+End")
    type_checked_append(program, " 追記")
    program.session.key("ctrl+s")
    wait_for(lambda: read_bytes(txt) != raw, 30, "Ctrl+S to rewrite %s" % txt)
    check(read_bytes(txt).decode("utf-8").rstrip("\n") == typed + " 追記",
          "Ctrl+S wrote %r" % read_bytes(txt))
    ctx.quit(program)


# --- 2. reopen files through File → Open --------------------------------------------
def rtf_fixture():
    """Japanese as \\uN escapes, Russian as code-page-1251 bytes of a Cyrillic font."""
    japanese = "".join("\\u%d?" % ord(c) for c in JAPANESE)
    russian = "".join("\\'%02x" % b for b in RUSSIAN.encode("cp1251"))
    return ("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}"
            "{\\f1\\fnil\\fcharset204 Arial CYR;}}\\uc1\\f0 %s\\par\n\\f1 %s\\par\n}"
            % (japanese, russian)).encode("ascii")


def reopen_files(ctx):
    files = [
        (write(os.path.join(ctx.dir, "utf8.txt"), (JAPANESE + "\n" + RUSSIAN + "\n").encode("utf-8")),
         JAPANESE + "\n" + RUSSIAN),
        (write(os.path.join(ctx.dir, "rich.rtf"), rtf_fixture()), JAPANESE + "\n" + RUSSIAN),
        (write(os.path.join(ctx.dir, "sjis.txt"), SHIFT_JIS_TEXT.encode("cp932")), SHIFT_JIS_TEXT),
        (write(os.path.join(ctx.dir, "crlf.TXT"), (RUSSIAN + "\r\n" + JAPANESE).encode("utf-8")),
         RUSSIAN + "\n" + JAPANESE),
    ]
    program = ctx.start()
    for path, expected in files:
        before = read_bytes(path)
        open_file(program, path)  # each document is unmodified, so no prompt comes between
        shown = editor_text(program).rstrip("\n")
        check(shown == expected, "opening %s shows %r, not %r" % (os.path.basename(path), shown, expected))
        check(program.titles() == [MAIN], "opening %s left windows %r" % (path, program.titles()))
        check(read_bytes(path) == before, "opening %s changed it on disk" % path)
    ctx.quit(program)

    # `tesserine FILE`, as a file manager's "Open with" runs it: a name relative to the
    # folder the program starts in.
    program = ctx.start(args=["sjis.txt"], cwd=ctx.dir)
    try:
        shown = editor_text(program).rstrip("\n")
    except Failure:  # an empty document copies nothing
        raise Failure("`tesserine sjis.txt` shows an empty document")
    check(shown == SHIFT_JIS_TEXT, "`tesserine sjis.txt` shows %r, not %r" % (shown, SHIFT_JIS_TEXT))
    ctx.quit(program)


SHIFT_JIS_TEXT = ("日本語のテキストです。このファイルはシフトJISで書かれています。\n"
                  "漢字とひらがなとカタカナが混じった文章を、文字コードの判定に十分な長さで用意しました。")
