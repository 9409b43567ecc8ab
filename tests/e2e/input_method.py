"""A real Japanese input method for the program under test: Fcitx 5 with the Anthy
kana-kanji engine, on the test's X server, with a D-Bus session bus of its own (the Qt
frontend of Fcitx talks to it over D-Bus)."""

import os
import shutil
import subprocess

from xdriver import DEFAULT_TIMEOUT, Failure, wait_for, _stop

ENGINE = "anthy"
ENGINE_CONF = "/usr/share/fcitx5/inputmethod/%s.conf" % ENGINE

# A bus without service activation, so that nothing but the Fcitx started here can take
# its name.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%s</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""

# One group with the keyboard first (the input method off) and Anthy second; the state
# is shared by every window, so that switching it on holds wherever the focus goes.
PROFILE = """[Groups/0]
Name=Default
Default Layout=us
DefaultIM=%s

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=%s
Layout=

[GroupOrder]
0=Default
""" % (ENGINE, ENGINE)

CONFIG = """[Behavior]
ShareInputState=All
"""


def missing():
    """What this machine lacks to run the input method, or None."""
    tools = [t for t in ("fcitx5", "fcitx5-remote", "dbus-daemon") if shutil.which(t) is None]
    if tools:
        return ", ".join(tools) + " not installed"
    if not os.path.isfile(ENGINE_CONF):
        return "the %s engine of Fcitx 5 (fcitx5-%s) is not installed" % (ENGINE, ENGINE)
    return None


class InputMethod:
    def __init__(self, session, workdir):
        self.session = session
        self.dir = os.path.join(workdir, "input-method")
        self.bus = None
        self.fcitx = None
        self.address = None

    def __enter__(self):
        home = os.path.join(self.dir, "home")
        config = os.path.join(home, ".config", "fcitx5")
        runtime = os.path.join(self.dir, "runtime")
        for directory in (config, runtime):
            os.makedirs(directory, exist_ok=True)
        os.chmod(runtime, 0o700)
        with open(os.path.join(config, "profile"), "w") as f:
            f.write(PROFILE)
        with open(os.path.join(config, "config"), "w") as f:
            f.write(CONFIG)
        bus_config = os.path.join(self.dir, "bus.conf")
        with open(bus_config, "w") as f:
            f.write(BUS_CONFIG % runtime)
        self.bus = subprocess.Popen(["dbus-daemon", "--config-file=" + bus_config, "--nofork", "--print-address=1"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.bus.stdout.readline().strip()
        if not self.address:
            raise Failure("the D-Bus session bus did not start")
        self.env = self.session.env({"HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                                     "XDG_RUNTIME_DIR": runtime, "DBUS_SESSION_BUS_ADDRESS": self.address})
        self.fcitx = subprocess.Popen(["fcitx5"], env=self.env, stdin=subprocess.DEVNULL,
                                      stdout=open(os.path.join(self.dir, "fcitx5.log"), "wb"),
                                      stderr=subprocess.STDOUT)
        return self

    def __exit__(self, *exc):
        _stop(self.fcitx)
        _stop(self.bus)
        return False

    def log(self):
        try:
            with open(os.path.join(self.dir, "fcitx5.log"), errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def state(self):
        """0 when Fcitx has no input window, 1 when the input method is off, 2 when on;
        None while Fcitx does not answer."""
        result = subprocess.run(["fcitx5-remote"], env=self.env, capture_output=True, text=True,
                                timeout=DEFAULT_TIMEOUT)
        value = result.stdout.strip()
        return int(value) if result.returncode == 0 and value in ("0", "1", "2") else None

    def started(self, timeout=DEFAULT_TIMEOUT):
        """True once Fcitx answers on its bus; False when it exits or stays silent."""
        def answering():
            if self.fcitx.poll() is not None:
                return "exited"
            return "yes" if self.state() is not None else None
        try:
            return wait_for(answering, timeout, "Fcitx 5 to answer") == "yes"
        except Failure:
            return False

    def client_env(self):
        """What a Qt program needs to type through this input method."""
        return {"QT_IM_MODULE": "fcitx", "XMODIFIERS": "@im=fcitx", "DBUS_SESSION_BUS_ADDRESS": self.address}

    def switch(self, on):
        """Switches the input method of the focused window on or off with its hot key,
        Ctrl+Space, as a person does: the key goes the way of the keys typed after it, so
        the input method has switched before it sees them."""
        if self.state() != (2 if on else 1):
            self.session.key("ctrl+space")
        wait_for(lambda: self.state() == (2 if on else 1), DEFAULT_TIMEOUT,
                 "the input method to switch %s" % ("on" if on else "off"))

    def type_reading(self, reading):
        """Types reading in romaji with the input method on, converts it with Space and
        commits the first candidate with Return, as a person does. The input method stays
        on until switch(False)."""
        self.switch(True)
        self.session.type(reading)
        self.session.key("space")
        self.session.key("Return")
