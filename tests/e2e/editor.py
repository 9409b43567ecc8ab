"""What a person does with the editor's windows, in the program's own captions, and
reading the files it writes back from disk."""

import os
import subprocess
import tempfile

from xdriver import DEFAULT_TIMEOUT, Failure, wait_for

JAPANESE = "日本語のテキスト"
RUSSIAN = "Русский текст"

# Window titles: the program's own, and those of Qt's dialogs in Qt's Japanese catalogue.
MAIN = "Tesserine"
SAVE_DIALOG = "名前を付けて保存"
OPEN_DIALOG = "開く"
FOREIGN_SEARCH = "検索"     # the foreign-language search dialog (Ctrl+R)
REPLACE = "置換"            # the standard Replace dialog (Ctrl+H)
CLOSE_PROMPT = "確認"       # "ドキュメントの変更を保存しますか?" when the main window closes
OPEN_PROMPT = "ワードプロセッサ"  # "変更点を保存しますか?" before New and Open
ERROR_CAPTION = "Tesserine"  # message boxes raised by a failed command

TYPE_ATTEMPTS = 3


def read_field(program, wid):
    """Copies the whole text of the focused edit field of window wid."""
    sentinel = "<field-sentinel>"
    program.session.set_clipboard(sentinel)
    program.activate(wid)
    program.session.key("ctrl+a", "ctrl+c")

    def copied():
        program.check_running()
        value = program.session.clipboard()
        return value is not None and value != sentinel
    wait_for(copied, DEFAULT_TIMEOUT, "the copied field text on the clipboard")
    return program.session.clipboard()


def type_checked(program, wid, text):
    """Replaces the whole text of the focused field (or the editor) of window wid by text,
    and reads it back. xdotool types characters missing from the keymap through a keycode
    it remaps for each one, and a client can now and then miss a remapping; so the text
    is read back and typed again when it did not arrive whole."""
    got = None
    for attempt in range(TYPE_ATTEMPTS):
        program.activate(wid)
        program.session.key("ctrl+a")
        program.session.type(text)
        got = read_field(program, wid)
        if got == text:
            return
        print("typing %r arrived as %r; typing it again (attempt %d)" % (text, got, attempt + 1))
    raise Failure("could not type %r: the field holds %r" % (text, got))


def answer_file_dialog(program, title, path, proposes_name=True):
    """Types path into the file name box of the file dialog titled title and presses
    Return; returns the name the dialog proposed (when it proposes one)."""
    wid = program.wait_active(title)
    proposed = read_field(program, wid) if proposes_name else None
    type_checked(program, wid, path)
    program.session.key("Return")
    program.wait_window_gone(title)
    return proposed


def save_as_menu(program):
    """File → 名前をつけて保存(&A)..."""
    program.activate(program.main)
    program.session.key("alt+f")
    program.session.key("a")


def open_file(program, path, timeout=DEFAULT_TIMEOUT):
    program.activate(program.main)
    program.session.key("ctrl+o")
    answer_file_dialog(program, OPEN_DIALOG, path, proposes_name=False)
    program.activate(program.main, timeout=timeout)


def editor_text(program):
    """The whole text the editor shows, through Select All and Copy."""
    text = program.select_all_text()
    # Put the caret back at the start, as after opening a file.
    program.session.key("ctrl+Home")
    return text


def wait_file(path, what=None, timeout=DEFAULT_TIMEOUT):
    wait_for(lambda: os.path.isfile(path), timeout, what or ("the file %s" % path))


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def rtf_text(path):
    """The text of an RTF file, as AbiWord reads it (an independent RTF reader)."""
    with tempfile.TemporaryDirectory() as out:
        target = os.path.join(out, "out.txt")
        env = dict(os.environ, HOME=out)
        result = subprocess.run(["abiword", "--to=txt", "--to-name=" + target, path],
                                env=env, capture_output=True, timeout=120)
        if result.returncode != 0 or not os.path.exists(target):
            raise Failure("abiword could not read %s: %s" % (path, result.stderr.decode(errors="replace")))
        return read_bytes(target).decode("utf-8", errors="replace")


def settings_text(program):
    path = os.path.join(program.config_home, "Orvalde", "Tesserine.reg")
    if not os.path.isfile(path):
        raise Failure("the settings store %s was not written" % path)
    return read_bytes(path).decode("utf-8", errors="replace")


def check(condition, message):
    if not condition:
        raise Failure(message)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
    return path


def type_checked_append(program, text):
    """Types text at the caret and checks the document ends with it."""
    before = editor_text(program)
    program.session.key("ctrl+End")
    program.session.type(text)
    after = editor_text(program)
    check(after == before + text, "typing %r at the end gave %r" % (text, after))
    program.session.key("ctrl+End")


def answer_close_prompt(program, key, title=CLOSE_PROMPT):
    wid = program.wait_active(title)
    program.session.key(key)
    program.wait_window_gone(title)
    return wid


def wait_error_message(program, timeout=60):
    """Waits for the message box of a failed command (captioned like the main window)
    and dismisses it with Return."""
    def message_box():
        program.check_running()
        return next((wid for wid, title in program.windows()
                     if title == ERROR_CAPTION and wid != program.main), None)
    wid = wait_for(message_box, timeout, "a message box (shown: %r)" % program.titles())
    program.activate(wid)
    program.session.key("Return")
    wait_for(lambda: len(program.windows()) == 1, 30, "the message box to close")
    program.activate(program.main)
