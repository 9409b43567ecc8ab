"""Unsaved work survives a crash: killed with SIGKILL, the program offers it at the next
start, 復元 brings it back whole and 破棄 deletes it; the file on disk is never touched."""

import os
import re
import struct
import time
import zlib

from editor import (MAIN, SAVE_DIALOG, answer_file_dialog, check, editor_text, open_file, read_bytes,
                    wait_file, write)
from xdriver import Program, wait_for

QUESTION = "文書の復元"
NEW_TEXT = "復元される文\nсохранить"
ADDED = " 追加"

# Texts typed here, bound into the keymap before the program starts.
TYPED = [NEW_TEXT, ADDED, "消える"]


def png(width, height, rgb):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes(rgb) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


PICTURE_HEX = png(6, 4, (200, 40, 90)).hex()


def rtf_with_picture():
    return ("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\f0 {\\b Bold} start\\par\n"
            "{\\pict\\pngblip\\picw6\\pich4 %s}\\par\n}" % PICTURE_HEX).encode("ascii")


def recovery_files(program):
    folder = os.path.join(program.home, ".local", "state", "Orvalde", "Tesserine", "recovery")
    return sorted(os.listdir(folder)) if os.path.isdir(folder) else []


def crash(program):
    """Waits past the journal's one second, then kills the program as a crash would."""
    time.sleep(1.5)
    program.process.kill()
    program.wait_exit()


def start_to_question(ctx):
    """Starts the program again and waits for its recovery question, which has the
    keyboard instead of the main window."""
    program = Program(ctx.session, ctx.program_path, ctx.dir, name="program%d" % (len(ctx.programs) + 1))
    ctx.programs.append(program)
    program.main = program.wait_window(MAIN, 60)
    program.wait_active(QUESTION)
    return program


def format_menu(program, key):
    program.activate(program.main)
    program.session.key("alt+t")
    program.session.key(key)


def picture_hex(rtf):
    found = re.search(rb"\\pict(?:\\[a-z]+-?\d*)*\s*([0-9a-fA-F\s]+)}", rtf)
    return re.sub(rb"\s", b"", found.group(1)).decode().lower() if found else None


def unsaved_work_survives_a_crash(ctx):
    # A new document, typed and formatted, then the program is killed.
    program = ctx.start()
    program.session.type(NEW_TEXT)
    format_menu(program, "c")  # 中央揃え(&C) of the last paragraph
    format_menu(program, "b")  # 箇条書き(&B)
    check(editor_text(program) == NEW_TEXT, "typing gave %r" % editor_text(program))
    crash(program)
    check(any(name.endswith(".journal") for name in recovery_files(program)),
          "no journal after the crash: %r" % recovery_files(program))

    # The next start asks; Return is 復元.
    program = start_to_question(ctx)
    program.session.key("Return")
    program.wait_window_gone(QUESTION)
    program.activate(program.main)
    shown = editor_text(program)
    check(shown == NEW_TEXT, "復元 restored %r, not %r" % (shown, NEW_TEXT))
    # Restored modified and untitled: Save goes through Save As; the formats come back.
    saved = os.path.join(ctx.dir, "restored.rtf")
    program.session.key("ctrl+s")
    answer_file_dialog(program, SAVE_DIALOG, saved)
    wait_file(saved)
    rtf = read_bytes(saved)
    check(b"\\qc" in rtf, "the restored paragraph is not centred: %r" % rtf)
    check(b"\\pn" in rtf or b"\\bullet" in rtf or b"\\u8226" in rtf, "the restored bullet is gone: %r" % rtf)
    wait_for(lambda: recovery_files(program) == [], 10, "the recovery data to go after the save")
    ctx.quit(program)
    check(recovery_files(program) == [], "a clean exit left %r" % recovery_files(program))

    # An opened RTF with a bold word and a picture, typed in and formatted, killed.
    path = write(os.path.join(ctx.dir, "picture.rtf"), rtf_with_picture())
    original = read_bytes(path)
    program = ctx.start()
    open_file(program, path)
    program.session.key("ctrl+Home", "End")
    program.session.type(ADDED)
    format_menu(program, "r")  # 右揃え(&R)
    expected = editor_text(program)
    crash(program)
    check(read_bytes(path) == original, "the file changed on disk before any save")

    program = start_to_question(ctx)
    program.session.key("Return")
    program.wait_window_gone(QUESTION)
    program.activate(program.main)
    check(editor_text(program) == expected, "復元 restored %r, not %r" % (editor_text(program), expected))
    check(read_bytes(path) == original, "restoring changed the file on disk")
    # The name came back: Ctrl+S writes the opened file, with everything restored.
    program.session.key("ctrl+s")
    wait_for(lambda: read_bytes(path) != original, 10, "Ctrl+S to write %s" % path)
    rtf = read_bytes(path)
    # 追 is U+8FFD, which RTF writes as a signed 16-bit number.
    check(b"\\u-28675" in rtf and b"\\u21152" in rtf, "the added text is not saved: %r" % rtf)
    check(b"\\qr" in rtf, "the right alignment is not saved: %r" % rtf)
    check(re.search(rb"\\b(\s|\\)", rtf) is not None, "the bold word lost its format: %r" % rtf)
    check(picture_hex(rtf) == PICTURE_HEX, "the picture came back as %r" % picture_hex(rtf))
    ctx.quit(program)

    # 破棄 asks for a confirmation, then deletes the data; nothing is asked next time.
    program = ctx.start()
    program.session.type("消える")
    crash(program)
    program = start_to_question(ctx)
    question = program.find_window(QUESTION)
    program.session.key("d")  # 破棄(&D)
    # The question closes before the confirmation, under the same title, opens.
    def confirmation():
        return next((wid for wid, title in program.windows() if title == QUESTION and wid != question), None)
    wait_for(lambda: confirmation() is not None, 10, "the confirmation")
    program.activate(confirmation())
    program.session.key("y")  # はい(&Y)
    wait_for(lambda: program.titles() == [MAIN], 10, "the questions to close")
    check(recovery_files(program) == [], "破棄 left %r" % recovery_files(program))
    # The document stays empty and unmodified: the window closes without a question.
    ctx.quit(program)
    program = ctx.start()
    time.sleep(1)
    check(program.titles() == [MAIN], "a start after 破棄 showed %r" % program.titles())
    ctx.quit(program)
