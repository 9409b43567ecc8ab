"""Bad inputs through the real program, and as nobody the permission cases."""

import os
import random
import shutil

from editor import (OPEN_DIALOG, OPEN_PROMPT, SAVE_DIALOG, answer_close_prompt,
                    answer_file_dialog, check, editor_text, open_file, read_bytes,
                    save_as_menu, type_checked_append, wait_error_message, write)
from xdriver import Failure, Unprivileged, wait_for

# Texts typed here, bound into the keymap before the program starts.
TYPED = ["изменён", " более"]


# --- bad inputs, through the real program -------------------------------------------
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
    # Its start shows at once and the rest loads meanwhile: the end arrives last.
    expected = "%08d Строка текста — 日本語のテキスト" % (number - 1)
    shown = []

    def loaded():
        shown.append(last_line(program, timeout=600))
        return shown[-1] == expected
    try:
        wait_for(loaded, 600, "the 50 MB file's last line")
    except Failure:
        raise Failure("the 50 MB file ends with %r in the editor" % (shown[-1] if shown else None))
    os.remove(big)

    # Random bytes with NULs, as .txt: a message about undecodable bytes, then the text.
    # The same bytes every run, so that the detected encoding does not vary.
    noise = random.Random(20261207)
    binary = write(os.path.join(ctx.dir, "binary.txt"), noise.randbytes(8192) + b"\0" * 64 + noise.randbytes(8192))
    before = read_bytes(binary)
    program.activate(program.main)
    program.session.key("ctrl+o")
    answer_file_dialog(program, OPEN_DIALOG, binary, proposes_name=False)
    wait_error_message(program)
    check(read_bytes(binary) == before, "opening the binary file changed it")

    # A named pipe: refused with a message at once, not read (which would block for ever).
    pipe = os.path.join(ctx.dir, "pipe.txt")
    os.mkfifo(pipe)
    shown = editor_text(program)
    program.activate(program.main)
    program.session.key("ctrl+o")
    answer_file_dialog(program, OPEN_DIALOG, pipe, proposes_name=False)
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
    answer_close_prompt(program, "n", title=OPEN_PROMPT)
    answer_file_dialog(program, OPEN_DIALOG, secret, proposes_name=False)
    wait_error_message(program)
    check(editor_text(program) == edited, "a failed open changed the document")

    # Save As into the read-only folder fails; the document keeps its own name.
    save_as_menu(program)
    answer_file_dialog(program, SAVE_DIALOG, os.path.join(locked, "new.txt"))
    wait_error_message(program)
    check(sorted(os.listdir(locked)) == ["kept.rtf"], "Save As wrote into the read-only folder")
    program.session.key("ctrl+s")  # so Save still writes mine.txt
    wait_for(lambda: read_bytes(mine).decode("utf-8") == edited, 30, "Ctrl+S to write mine.txt")

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
