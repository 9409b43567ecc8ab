#!/usr/bin/env python3
"""End-to-end scenarios of the real tesserine executable on a private X server.

    scenarios.py PROGRAM SCENARIO

Each scenario starts its own Xvfb and window manager, runs the program with an empty
configuration directory and home, drives it with xdotool and checks the results on
disk. On failure the screen is saved in the scenario's directory, whose path is printed,
and the directory is kept. Exit code 77 means the X tools are missing (skipped).
"""

import os
import shutil
import sys
import tempfile
import traceback
import functools

print = functools.partial(print, flush=True)  # noqa: A001 - keep output in order with tracebacks

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import editor  # noqa: E402
from editor import (CLOSE_PROMPT, FOREIGN_SEARCH, MAIN, REPLACE, SAVE_DIALOG,  # noqa: E402
                    answer_file_dialog, editor_text, open_file, read_bytes, rtf_text,
                    save_as_menu, settings_text, type_checked)
from xdriver import Failure, Program, Unprivileged, XSession, missing_tools  # noqa: E402

SKIP = 77
JAPANESE = "日本語のテキスト"
RUSSIAN = "Русский текст"


def check(condition, message):
    if not condition:
        raise Failure(message)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
    return path


# --- 1. type Japanese and Cyrillic, save as RTF and as plain text --------------------
def save_rtf_and_txt(ctx):
    program = ctx.start()
    typed = JAPANESE + "\n" + RUSSIAN
    type_checked(program, program.main, typed)

    rtf = os.path.join(ctx.dir, "保存テスト.rtf")
    program.session.key("ctrl+s")  # an untitled document: Save goes through Save As
    proposed = answer_file_dialog(program, SAVE_DIALOG, rtf)
    check(proposed == "Untitled.rtf", "the Save dialog proposed %r, not Untitled.rtf" % proposed)
    editor.wait_file(rtf)
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
    editor.wait_file(txt)
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
    editor.wait_for(lambda: read_bytes(txt) != raw, 30, "Ctrl+S to rewrite %s" % txt)
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


SHIFT_JIS_TEXT = ("日本語のテキストです。このファイルはシフトJISで書かれています。\n"
                  "漢字とひらがなとカタカナが混じった文章を、文字コードの判定に十分な長さで用意しました。")


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
    editor.wait_for(lambda: read_bytes(path) != SEARCH_TEXT.encode("utf-8"), 30, "Ctrl+S to write %s" % path)
    saved = read_bytes(path).decode("utf-8", errors="replace")
    check(saved == expected, "the saved file holds %r, not %r" % (saved, expected))
    ctx.quit(program)


# --- 4. the "save changes?" prompt at close, and the settings written at close --------
def answer_close_prompt(program, key, title=CLOSE_PROMPT):
    wid = program.wait_active(title)
    program.session.key(key)
    program.wait_window_gone(title)
    return wid


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


# --- bad inputs, through the real program -------------------------------------------
def wait_error_message(program, timeout=60):
    """Waits for the message box of a failed command (captioned like the main window)
    and dismisses it with Return."""
    def message_box():
        program.check_running()
        return next((wid for wid, title in program.windows()
                     if title == editor.ERROR_CAPTION and wid != program.main), None)
    wid = editor.wait_for(message_box, timeout, "a message box (shown: %r)" % program.titles())
    program.activate(wid)
    program.session.key("Return")
    editor.wait_for(lambda: len(program.windows()) == 1, 30, "the message box to close")
    program.activate(program.main)


def last_line(program, timeout):
    program.activate(program.main)
    program.session.key("ctrl+End", "Up", "shift+End")
    return program.copy_selection(timeout=timeout)


def bad_inputs_real_program(ctx):
    # A 50 MB plain-text file opens whole, and the program stays responsive.
    big = os.path.join(ctx.dir, "big.txt")
    with open(big, "wb") as f:
        number = 0
        while f.tell() < 50 * 1024 * 1024:
            f.write(("%08d Строка текста — 日本語のテキスト\n" % number).encode("utf-8"))
            number += 1
    program = ctx.start()
    open_file(program, big, timeout=600)
    last = last_line(program, timeout=600)
    check(last == "%08d Строка текста — 日本語のテキスト" % (number - 1),
          "the 50 MB file ends with %r in the editor" % last)
    os.remove(big)

    # Random bytes with NULs, as .txt: a message about undecodable bytes, then the text.
    binary = write(os.path.join(ctx.dir, "binary.txt"), os.urandom(8192) + b"\0" * 64 + os.urandom(8192))
    before = read_bytes(binary)
    program.activate(program.main)
    program.session.key("ctrl+o")
    answer_file_dialog(program, editor.OPEN_DIALOG, binary, proposes_name=False)
    wait_error_message(program)
    check(read_bytes(binary) == before, "opening the binary file changed it")

    # A named pipe: refused with a message at once, not read (which would block for ever).
    pipe = os.path.join(ctx.dir, "pipe.txt")
    os.mkfifo(pipe)
    shown = editor_text(program)
    program.activate(program.main)
    program.session.key("ctrl+o")
    answer_file_dialog(program, editor.OPEN_DIALOG, pipe, proposes_name=False)
    wait_error_message(program)
    check(editor_text(program) == shown, "the refused pipe changed the document shown")
    ctx.quit(program)


def permissions_real_program(ctx):
    """As nobody: an unreadable file, and Save and Save As into a read-only folder."""
    if not Unprivileged.needed():
        user = None
        executable = ctx.program_path
    else:
        user = Unprivileged()
        executable = os.path.join(ctx.dir, "tesserine")
        shutil.copy(ctx.program_path, executable)
        os.chmod(executable, 0o755)
    desk = os.path.join(ctx.dir, "desk")  # a folder the user may write
    os.mkdir(desk)
    mine = write(os.path.join(desk, "mine.txt"), "мой текст\n".encode("utf-8"))
    secret = write(os.path.join(desk, "secret.txt"), b"secret\n")
    locked = os.path.join(ctx.dir, "locked")
    os.mkdir(locked)
    kept = write(os.path.join(locked, "kept.rtf"), b"{\\rtf1\\ansi kept\\par}")
    if user:
        user.give(desk, mine, secret, locked, kept)
    os.chmod(secret, 0o200)
    os.chmod(locked, 0o555)
    program = ctx.start(user=user, executable=executable)
    if user:
        with open("/proc/%d/status" % program.process.pid) as status:
            uid = next(line.split()[1] for line in status if line.startswith("Uid:"))
        check(int(uid) == user.uid, "the program runs as uid %s, not as nobody" % uid)

    open_file(program, mine)
    program.session.key("ctrl+End")
    type_checked_append(program, "изменён")
    edited = "мой текст\nизменён"
    program.session.key("ctrl+o")
    answer_close_prompt(program, "n", title=editor.OPEN_PROMPT)
    answer_file_dialog(program, editor.OPEN_DIALOG, secret, proposes_name=False)
    wait_error_message(program)
    check(editor_text(program) == edited, "a failed open changed the document")

    # Save As into the read-only folder fails; the document keeps its own name.
    save_as_menu(program)
    answer_file_dialog(program, SAVE_DIALOG, os.path.join(locked, "new.txt"))
    wait_error_message(program)
    check(sorted(os.listdir(locked)) == ["kept.rtf"], "Save As wrote into the read-only folder")
    program.session.key("ctrl+s")  # so Save still writes mine.txt
    editor.wait_for(lambda: read_bytes(mine).decode("utf-8") == edited, 30, "Ctrl+S to write mine.txt")

    # A document of the read-only folder: Save fails and leaves the file as it was.
    open_file(program, kept)
    type_checked_append(program, " более")
    program.session.key("ctrl+s")
    wait_error_message(program)
    check(read_bytes(kept) == b"{\\rtf1\\ansi kept\\par}", "a failed Save changed %s" % kept)
    check(sorted(os.listdir(locked)) == ["kept.rtf"], "a failed Save left a file in the folder")
    program.close_window(program.main)
    answer_close_prompt(program, "n")
    check(program.wait_exit() == 0, "the program did not exit cleanly")


def type_checked_append(program, text):
    """Types text at the caret and checks the document ends with it."""
    before = editor_text(program)
    program.session.key("ctrl+End")
    program.session.type(text)
    after = editor_text(program)
    check(after == before + text, "typing %r at the end gave %r" % (text, after))
    program.session.key("ctrl+End")


# Every text the scenarios type, bound into the keymap before a program starts.
TYPED_TEXTS = [JAPANESE, RUSSIAN, " 追記", "①", "にほんご", "破棄される文 и текст", "追加", "изменён",
               " более"]


class Context:
    def __init__(self, program_path, workdir):
        self.program_path = program_path
        self.dir = workdir
        self.session = None
        self.programs = []

    def start(self, executable=None, **kwargs):
        self.session.prepare_keymap(TYPED_TEXTS)
        program = Program(self.session, executable or self.program_path, self.dir,
                          name="program%d" % (len(self.programs) + 1), **kwargs)
        self.programs.append(program)
        program.wait_main()
        return program

    def quit(self, program):
        """Closes an unmodified document's window and expects a clean exit."""
        program.close_window(program.main)
        code = program.wait_exit()
        check(code == 0, "the program exited with code %d" % code)


SCENARIOS = {
    "save_rtf_and_txt": save_rtf_and_txt,
    "reopen_files": reopen_files,
    "search_and_replace": search_and_replace,
    "close_prompt_and_settings": close_prompt_and_settings,
    "bad_inputs_real_program": bad_inputs_real_program,
    "permissions_real_program": permissions_real_program,
}


def main(argv):
    if len(argv) != 3 or argv[2] not in SCENARIOS:
        print("usage: scenarios.py PROGRAM {%s}" % ",".join(SCENARIOS), file=sys.stderr)
        return 2
    missing = missing_tools(["Xvfb", "xdotool"])
    if missing:
        print("SKIP: %s not installed" % ", ".join(missing))
        return SKIP
    needed = missing_tools(["openbox", "wmctrl", "xclip", "xmodmap", "xprop", "xwd", "abiword"])
    if needed:
        print("FAIL: %s not installed (scripts/install-deps installs them)" % ", ".join(needed))
        return 1
    workdir = tempfile.mkdtemp(prefix="tesserine-e2e-%s-" % argv[2])
    os.chmod(workdir, 0o755)
    ctx = Context(os.path.abspath(argv[1]), workdir)
    ok = False
    try:
        with XSession(workdir) as session:
            ctx.session = session
            try:
                SCENARIOS[argv[2]](ctx)
                ok = True
            except Exception as error:
                shot = session.screenshot(os.path.join(workdir, "failure.xwd"))
                print("FAIL: %s" % error)
                traceback.print_exc(file=sys.stdout)
                print("screenshot: %s" % shot)
                for program in ctx.programs:
                    print("windows shown by %s: %r" % (program.log_path, program.titles()
                                                       if program.running() else "(exited)"))
            finally:
                for program in ctx.programs:
                    program.stop()
                    log = program.log().strip()
                    if log:
                        print("--- %s ---\n%s" % (program.log_path, log))
    except Exception as error:
        print("FAIL: %s" % error)
        traceback.print_exc(file=sys.stdout)
    if ok:
        shutil.rmtree(workdir, ignore_errors=True)
        print("PASS: %s" % argv[2])
        return 0
    print("kept: %s" % workdir)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
