#!/usr/bin/env python3
"""End-to-end scenarios of the real tesserine executable on a private X server.

    scenarios.py PROGRAM SCENARIO

Each scenario starts its own Xvfb and window manager, runs the program with an empty
configuration directory and home, drives it with xdotool and checks the results on
disk. On failure the screen is saved in the scenario's directory, whose path is printed,
and the directory is kept. Exit code 77 means the X tools are missing (skipped).
"""

import functools
import os
import shutil
import sys
import tempfile
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import scenario_bad_inputs  # noqa: E402
import scenario_big_file  # noqa: E402
import scenario_close  # noqa: E402
import scenario_files  # noqa: E402
import scenario_input_method  # noqa: E402
import scenario_recovery  # noqa: E402
import scenario_search  # noqa: E402
import scenario_windows  # noqa: E402
from editor import check  # noqa: E402
from xdriver import Program, Skip, XSession, missing_tools  # noqa: E402

print = functools.partial(print, flush=True)  # noqa: A001 - keep output in order with tracebacks

SKIP = 77
MODULES = [scenario_files, scenario_search, scenario_close, scenario_bad_inputs, scenario_windows,
           scenario_input_method, scenario_recovery, scenario_big_file]


class Context:
    def __init__(self, program_path, workdir):
        self.program_path = program_path
        self.dir = workdir
        self.session = None
        self.programs = []

    def start(self, executable=None, **kwargs):
        self.session.prepare_keymap([text for module in MODULES for text in module.TYPED])
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
    "save_rtf_and_txt": scenario_files.save_rtf_and_txt,
    "reopen_files": scenario_files.reopen_files,
    "search_and_replace": scenario_search.search_and_replace,
    "close_prompt_and_settings": scenario_close.close_prompt_and_settings,
    "bad_inputs_real_program": scenario_bad_inputs.bad_inputs_real_program,
    "permissions_real_program": scenario_bad_inputs.permissions_real_program,
    "every_window_drawn": scenario_windows.every_window_drawn,
    "japanese_input_method": scenario_input_method.japanese_input_method,
    "unsaved_work_survives_a_crash": scenario_recovery.unsaved_work_survives_a_crash,
    "big_file_shows_at_once": scenario_big_file.big_file_shows_at_once,
}


def main(argv):
    if len(argv) != 3 or argv[2] not in SCENARIOS:
        print("usage: scenarios.py PROGRAM {%s}" % ",".join(SCENARIOS), file=sys.stderr)
        return 2
    missing = missing_tools(["Xvfb", "xdotool"])
    if missing:
        print("SKIP: %s not installed" % ", ".join(missing))
        return SKIP
    needed = missing_tools(["openbox", "wmctrl", "xclip", "xmodmap", "xprop", "xwininfo", "abiword"])
    if needed:
        print("FAIL: %s not installed (scripts/install-deps installs them)" % ", ".join(needed))
        return 1
    workdir = tempfile.mkdtemp(prefix="tesserine-e2e-%s-" % argv[2])
    os.chmod(workdir, 0o755)
    ctx = Context(os.path.abspath(argv[1]), workdir)
    ok = False
    skipped = None
    try:
        with XSession(workdir) as session:
            ctx.session = session
            try:
                SCENARIOS[argv[2]](ctx)
                ok = True
            except Skip as reason:
                skipped = str(reason)
            except Exception as error:
                shot = session.screenshot(os.path.join(workdir, "failure.png"))
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
    if skipped is not None:
        shutil.rmtree(workdir, ignore_errors=True)
        print("SKIP: %s" % skipped)
        return SKIP
    if ok:
        shutil.rmtree(workdir, ignore_errors=True)
        print("PASS: %s" % argv[2])
        return 0
    print("kept: %s" % workdir)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
