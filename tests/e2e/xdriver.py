"""Drives the real tesserine executable on a private X server.

An XSession starts Xvfb on a display it picks itself (-displayfd), so it never clashes
with another server, and a small window manager (openbox) so that windows are activated
and closed the way a desktop does it. A Program runs the editor in that session with an
empty configuration directory and home of its own, optionally as an unprivileged user,
and offers the few things a person does: find a window by its title, activate it,
press keys, type text, read the clipboard. Every wait polls with a deadline; nothing
sleeps a fixed time to synchronise.
"""

import os
import select
import shutil
import struct
import subprocess
import time
import zlib

DEFAULT_TIMEOUT = 30.0
POLL = 0.05


class Failure(Exception):
    """A check of the end-to-end test failed; the message says which."""


class Skip(Exception):
    """What the scenario needs cannot run on this machine; the message says why."""


def missing_tools(tools):
    return [t for t in tools if shutil.which(t) is None]


def wait_for(predicate, timeout, what):
    """Polls predicate until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(POLL)


def _stop(process, timeout=10):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout)


class Screen:
    """One reading of the screen's framebuffer (an xwd image of 24 or 32 bits per pixel)."""

    def __init__(self, data):
        header = struct.unpack(">25I", data[:100])
        self.width, self.height = header[4], header[5]
        self._step = header[11] // 8
        self._stride = header[12]
        self._pixels = data[header[0] + header[19] * 12:]

    def pixels(self, rect, step=2):
        """The colours of every step-th pixel in each direction of rect (x, y, w, h), as
        bytes in the framebuffer's order, clipped to the screen."""
        x, y, w, h = rect
        found = []
        for row in range(max(0, y), min(self.height, y + h), step):
            start = row * self._stride
            for column in range(max(0, x), min(self.width, x + w), step):
                offset = start + column * self._step
                found.append(self._pixels[offset:offset + 3])
        return found

    def save_png(self, path):
        raw = bytearray()
        for row in range(self.height):
            raw.append(0)
            line = self._pixels[row * self._stride:row * self._stride + self.width * self._step]
            for column in range(0, len(line), self._step):
                blue, green, red = line[column], line[column + 1], line[column + 2]
                raw += bytes((red, green, blue))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body
                    + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n"
                    + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(bytes(raw), 6)) + chunk(b"IEND", b""))


class XSession:
    """Xvfb plus openbox on a display of their own, for the lifetime of a with-block."""

    def __init__(self, workdir):
        self.workdir = workdir
        self.display = None
        self._xvfb = None
        self._wm = None
        self._clipboard_owner = None
        self._spare_keycodes = None
        self._bound = {}

    def __enter__(self):
        read_end, write_end = os.pipe()
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-noreset", "-fbdir", self.workdir],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL,
            stdout=open(os.path.join(self.workdir, "xvfb.log"), "wb"), stderr=subprocess.STDOUT)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + DEFAULT_TIMEOUT
        while not number.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([read_end], [], [], remaining)[0]:
                os.close(read_end)
                raise Failure("Xvfb did not report its display number")
            chunk = os.read(read_end, 16)
            if not chunk:
                os.close(read_end)
                raise Failure("Xvfb exited before it reported its display number")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self._start_window_manager()
        return self

    def _start_window_manager(self):
        home = os.path.join(self.workdir, "wm-home")
        os.makedirs(home, exist_ok=True)
        env = self.env({"HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config")})
        self._wm = subprocess.Popen(
            ["openbox", "--sm-disable"], env=env, stdin=subprocess.DEVNULL,
            stdout=open(os.path.join(self.workdir, "openbox.log"), "wb"), stderr=subprocess.STDOUT)

        def wm_running():
            if self._wm.poll() is not None:
                raise Failure("openbox exited with code %s" % self._wm.returncode)
            out = self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)
            return "window id" in out

        wait_for(wm_running, DEFAULT_TIMEOUT, "the window manager")

    def __exit__(self, *exc):
        _stop(self._clipboard_owner)
        _stop(self._wm)
        _stop(self._xvfb)
        return False

    def env(self, extra=None):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        env.pop("XAUTHORITY", None)
        env.pop("WAYLAND_DISPLAY", None)
        if extra:
            env.update(extra)
        return env

    def run(self, argv, check=True, timeout=DEFAULT_TIMEOUT, input=None):
        result = subprocess.run(argv, env=self.env(), capture_output=True, timeout=timeout,
                                input=input.encode() if input is not None else None)
        if check and result.returncode != 0:
            raise Failure("%s failed (%d): %s" % (" ".join(argv), result.returncode,
                                                   result.stderr.decode(errors="replace").strip()))
        return result.stdout.decode(errors="replace")

    # --- keyboard -------------------------------------------------------------
    def key(self, *keys):
        self.run(["xdotool", "key", "--delay", "40"] + list(keys))

    def type(self, text):
        """Types text; a line break is typed as Return."""
        for number, line in enumerate(text.split("\n")):
            if number:
                self.key("Return")
            if line:
                self._bind_characters(line)
                self.run(["xdotool", "type", "--delay", "20", "--", line], timeout=120)

    def prepare_keymap(self, texts):
        """Gives every character of texts a keycode before a program starts, so that
        typing later changes no keymap under it."""
        self._bind_characters("".join(texts))

    def _bind_characters(self, text):
        # xdotool types a character missing from the keymap by remapping a spare keycode
        # for it and restoring the keycode right after the key press; a client that reads
        # the keymap a moment late sees the key without its character and drops it. So
        # every character is given a keycode of its own before typing, and kept.
        wanted = [c for c in dict.fromkeys(text) if ord(c) > 0x7E and c not in self._bound]
        if not wanted:
            return
        if self._spare_keycodes is None:
            self._spare_keycodes = self._find_spare_keycodes()
        if len(self._bound) + len(wanted) > len(self._spare_keycodes):
            self._bound = {}
        if len(wanted) > len(self._spare_keycodes):
            raise Failure("too many different characters to type at once: %d" % len(wanted))
        args = []
        for character in wanted:
            code = self._spare_keycodes[len(self._bound)]
            self._bound[character] = code
            args += ["-e", "keycode %d = U%04X U%04X" % (code, ord(character), ord(character))]
        self.run(["xmodmap"] + args)

    def _find_spare_keycodes(self):
        """Keycodes with no keysym or only multimedia keysyms, which the tests never press."""
        spare = []
        for line in self.run(["xmodmap", "-pke"]).splitlines():
            code, _, symbols = line.partition("=")
            number = int(code.split()[1])
            if number > 8 and all(s.startswith("XF86") or s == "NoSymbol" for s in symbols.split()):
                spare.append(number)
        return spare

    # --- clipboard ------------------------------------------------------------
    def set_clipboard(self, text):
        _stop(self._clipboard_owner)
        self._clipboard_owner = subprocess.Popen(
            ["xclip", "-i", "-quiet", "-selection", "clipboard"], env=self.env(),
            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._clipboard_owner.stdin.write(text.encode())
        self._clipboard_owner.stdin.close()
        wait_for(lambda: self.clipboard() == text, DEFAULT_TIMEOUT, "the clipboard sentinel")

    def clipboard(self):
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env(),
                                capture_output=True, timeout=DEFAULT_TIMEOUT)
        return result.stdout.decode(errors="replace") if result.returncode == 0 else None

    # --- windows --------------------------------------------------------------
    def active_window(self):
        out = self.run(["xdotool", "getactivewindow"], check=False).strip()
        return out or None

    def window_name(self, wid):
        return self.run(["xdotool", "getwindowname", wid], check=False).rstrip("\n")

    def screen(self):
        """What the screen shows: the server's own framebuffer, which Xvfb keeps as an xwd
        file. (Reading the screen back through the X protocol, as `xwd -root` does, shows
        a window opened over another window of the same program as a black rectangle
        although it is drawn; the framebuffer shows what a person sees.)"""
        with open(os.path.join(self.workdir, "Xvfb_screen0"), "rb") as f:
            return Screen(f.read())

    def screenshot(self, path):
        """Saves the whole screen as a PNG file and returns its path."""
        try:
            png = os.path.splitext(path)[0] + ".png"
            self.screen().save_png(png)
            return png
        except Exception as error:  # a screenshot is a diagnostic; it must not mask the failure
            return "(no screenshot: %s)" % error

    def window_rect(self, wid):
        """The window's area on the screen (its client area, without the frame)."""
        info = self.run(["xwininfo", "-id", wid])
        fields = {}
        for line in info.splitlines():
            name, sep, value = line.strip().partition(":")
            if sep:
                fields[name] = value.strip()
        return (int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                int(fields["Width"]), int(fields["Height"]))


class Program:
    """The tesserine executable running in an XSession."""

    MAIN_TITLE = "Tesserine"

    def __init__(self, session, executable, workdir, config_home=None, home=None, user=None,
                 cwd=None, name="program", args=(), extra_env=None):
        self.session = session
        self.workdir = workdir
        self.config_home = config_home or os.path.join(workdir, "config")
        self.home = home or os.path.join(workdir, "home")
        self.runtime_dir = os.path.join(workdir, name + "-runtime")
        for directory in (self.config_home, self.home, self.runtime_dir):
            os.makedirs(directory, exist_ok=True)
        os.chmod(self.runtime_dir, 0o700)
        if user is not None:
            user.give(self.config_home, self.home, self.runtime_dir)
        env = session.env({
            "QT_QPA_PLATFORM": "xcb",
            "XDG_CONFIG_HOME": self.config_home,
            "HOME": self.home,
            # Recovery data under the scenario's home: programs of one scenario share it.
            "XDG_STATE_HOME": os.path.join(self.home, ".local", "state"),
            "XDG_RUNTIME_DIR": self.runtime_dir,
            "LC_ALL": "C.UTF-8",
        })
        env.pop("QT_IM_MODULE", None)
        env.update(extra_env or {})
        argv = [executable] + list(args)
        if user is not None:
            argv = user.wrap(argv)
        self.log_path = os.path.join(workdir, name + ".log")
        self.process = subprocess.Popen(argv, env=env, cwd=cwd or workdir, stdin=subprocess.DEVNULL,
                                        stdout=open(self.log_path, "wb"), stderr=subprocess.STDOUT)
        self.main = None

    # --- life -------------------------------------------------------------
    def running(self):
        return self.process.poll() is None

    def check_running(self):
        if not self.running():
            raise Failure("the program exited unexpectedly with code %s" % self.process.returncode)

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not exit within %.0f s" % timeout)

    def stop(self):
        _stop(self.process)

    def log(self):
        try:
            with open(self.log_path, errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    # --- windows ------------------------------------------------------------
    def windows(self):
        """The program's visible top-level windows as (id, title) pairs."""
        out = self.session.run(["xdotool", "search", "--onlyvisible", "--pid",
                                str(self.process.pid), "--class", "."], check=False)
        return [(wid, self.session.window_name(wid)) for wid in out.split()]

    def titles(self):
        return sorted(title for _, title in self.windows())

    def find_window(self, title):
        for wid, name in self.windows():
            if name == title:
                return wid
        return None

    def wait_window(self, title, timeout=DEFAULT_TIMEOUT):
        def found():
            self.check_running()
            return self.find_window(title)
        return wait_for(found, timeout, "a window titled %r (shown: %r)" % (title, self.titles()))

    def wait_window_gone(self, title, timeout=DEFAULT_TIMEOUT):
        def gone():
            # A program that has exited shows nothing; whoever expects it to run checks.
            return not self.running() or self.find_window(title) is None
        wait_for(gone, timeout, "the window %r to close" % title)

    def wait_main(self, timeout=60):
        self.main = self.wait_window(self.MAIN_TITLE, timeout)
        self.activate(self.main)
        return self.main

    def activate(self, wid, timeout=DEFAULT_TIMEOUT):
        def active():
            self.check_running()
            if self.session.active_window() == wid:
                return True
            self.session.run(["xdotool", "windowactivate", "--sync", wid], check=False, timeout=timeout)
            return self.session.active_window() == wid
        wait_for(active, timeout, "window %s (%r) to become active" % (wid, self.session.window_name(wid)))

    def wait_active(self, title, timeout=DEFAULT_TIMEOUT):
        """Waits for a window with this title and makes sure it has the keyboard."""
        wid = self.wait_window(title, timeout)
        self.activate(wid, timeout)
        return wid

    def close_window(self, wid):
        """Asks the window manager to close a window, as its close box does (the window
        gets WM_DELETE_WINDOW). A request rather than Alt+F4, whose key grab the window
        manager can miss while it rebinds keys after a keymap change."""
        self.activate(wid)
        self.session.run(["wmctrl", "-i", "-c", wid])

    # --- a person's actions on the editor ------------------------------------
    def copy_selection(self, timeout=DEFAULT_TIMEOUT):
        """Copies the editor's selection with Ctrl+C and returns the clipboard's text."""
        sentinel = "<clipboard-sentinel-%d>" % time.monotonic_ns()
        self.session.set_clipboard(sentinel)
        self.activate(self.main)
        self.session.key("ctrl+c")

        def copied():
            self.check_running()
            value = self.session.clipboard()
            return value is not None and value != sentinel
        wait_for(copied, timeout, "the copied selection on the clipboard")
        return self.session.clipboard()

    def select_all_text(self):
        self.activate(self.main)
        self.session.key("ctrl+a")
        return self.copy_selection()


class Unprivileged:
    """Runs a command as nobody when the tests run as root, so permissions hold."""

    def __init__(self):
        import pwd
        import grp
        self.uid = pwd.getpwnam("nobody").pw_uid
        try:
            self.gid = grp.getgrnam("nogroup").gr_gid
        except KeyError:
            self.gid = pwd.getpwnam("nobody").pw_gid

    @staticmethod
    def needed():
        return os.geteuid() == 0

    def wrap(self, argv):
        return ["setpriv", "--reuid=%d" % self.uid, "--regid=%d" % self.gid, "--clear-groups",
                "--"] + argv

    def give(self, *paths):
        for path in paths:
            os.chown(path, self.uid, self.gid)

