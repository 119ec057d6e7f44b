"""Runs Config.exe under Wine and Xvfb and drives it through the probe.

One Xvfb serves the whole suite. Every run gets its own copy of the Wine
prefix template and ends its own wineserver.
"""

import contextlib
import os
import shutil
import subprocess
import tempfile
import time

REPO_ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_PREFIX_SCRIPT = os.path.join(REPO_ROOT, "scripts", "wine_prefix.sh")
LOCALE_DIR = os.path.join(REPO_ROOT, "build", "locale")
WINESERVER = "/usr/lib/wine/wineserver"
LOADERS = {"i686": "/usr/lib/wine/wine", "x86_64": "/usr/lib/wine/wine64"}

MAIN_TITLE = "設定"
SCORE_RESET_TITLE = "スコア初期化の確認"

JOYSTICKS_FILE = "joysticks.txt"  # read by the winmm.dll stand-in beside Config.exe

DIALOG_TIMEOUT_S = 30
EXIT_TIMEOUT_S = 15
PROBE_TIMEOUT_S = 20  # for one probe command, beyond what it waits for


class HarnessError(Exception):
    """The harness could not do what a case asked (not a program fault)."""


def escape_title(title):
    """Titles reach the probe as printable ASCII, whatever the locale can carry."""
    return "".join(c if 32 <= ord(c) < 128 else "\\u%04x" % ord(c) for c in title)


class Display:
    """An Xvfb server on the first free display."""

    def __init__(self):
        read_end, write_end = os.pipe()
        command = ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24"]
        self.process = subprocess.Popen(
            command + ["-nolisten", "tcp"],
            pass_fds=(write_end,),
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()
        if not number:
            self.close()
            raise HarnessError("Xvfb did not start")
        self.name = ":" + number

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)


def prepare_template():
    subprocess.run([WINE_PREFIX_SCRIPT], check=True)


def locale_env(japanese):
    env = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k != "LOCPATH"}
    if japanese:
        env.update(LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8", LOCPATH=LOCALE_DIR)
    else:
        env.update(LANG="en_US.UTF-8")
    return env


class Session:
    """One run of Config.exe in a game folder, with its own Wine prefix.

    With joysticks (the text of joysticks.txt), Config.exe runs from the game
    folder beside the winmm.dll stand-in, which reports those joysticks.
    """

    def __init__(self, build, display, work_dir, japanese=True, joysticks=None):
        self.build = build
        self.work_dir = work_dir
        self.game_dir = os.path.join(work_dir, "game")
        self.prefix = os.path.join(work_dir, "prefix")
        os.makedirs(self.game_dir)
        subprocess.run([WINE_PREFIX_SCRIPT, self.prefix], check=True)
        self.env = locale_env(japanese)
        self.env.update(
            WINEPREFIX=self.prefix,
            WINEDEBUG="-all",
            WINEDLLOVERRIDES="mscoree,mshtml=",
            DISPLAY=display.name,
        )
        self.program = build.config_exe
        # Files in the game folder that the harness itself rewrites.
        self.harness_files = set()
        if joysticks is not None:
            self.use_fake_winmm(joysticks)
        self.process = None
        self.exit_code = None

    def use_fake_winmm(self, joysticks):
        for source in (self.build.config_exe, self.build.fake_winmm):
            shutil.copy2(source, self.game_dir)
        self.program = os.path.join(self.game_dir, os.path.basename(self.build.config_exe))
        self.env["WINEDLLOVERRIDES"] += ";winmm=n,b"
        self.set_joysticks(joysticks)
        self.harness_files.add(JOYSTICKS_FILE)

    def set_joysticks(self, text):
        """Replaces joysticks.txt whole, so that no read sees half of it."""
        path = os.path.join(self.game_dir, JOYSTICKS_FILE)
        with open(path + ".new", "w") as out:
            out.write(text)
        os.replace(path + ".new", path)

    # -- the program ---------------------------------------------------------

    def start(self):
        """Starts Config.exe in the game folder and waits for its dialog."""
        self.process = subprocess.Popen(
            [LOADERS[self.build.arch], self.program],
            cwd=self.game_dir,
            env=self.env,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        if not self.wait_window(MAIN_TITLE, DIALOG_TIMEOUT_S):
            raise AssertionError("the dialog %r did not appear" % MAIN_TITLE)

    def wait_exit(self, timeout=EXIT_TIMEOUT_S):
        """The program's exit code, or None when it is still running."""
        try:
            self.exit_code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        return self.exit_code

    def finish(self):
        """Ends whatever still runs in this prefix, the wineserver last."""
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        subprocess.run([WINESERVER, "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], env=self.env, stderr=subprocess.DEVNULL)

    def remove(self):
        shutil.rmtree(self.work_dir, ignore_errors=True)

    # -- the probe -----------------------------------------------------------

    def probe(self, *args, waiting_s=0):
        """Runs the probe; its exit code and its output lines."""
        command = [LOADERS[self.build.arch], self.build.probe_exe]
        command += [escape_title(a) if isinstance(a, str) else str(a) for a in args]
        # A file, not a pipe: the Wine services that the first Wine process of a
        # prefix starts inherit its output and outlive it.
        with tempfile.TemporaryFile() as output:
            result = subprocess.run(
                command,
                env=self.env,
                stdout=output,
                stderr=subprocess.DEVNULL,
                timeout=PROBE_TIMEOUT_S + waiting_s,
            )
            output.seek(0)
            return result.returncode, output.read().decode("utf-8", "replace").splitlines()

    def probe_value(self, *args):
        code, lines = self.probe(*args)
        if code != 0:
            raise AssertionError("probe %s: exit %d" % (" ".join(map(str, args)), code))
        return lines

    def wait_window(self, title, timeout_s=DIALOG_TIMEOUT_S):
        return self.probe("wait", title, int(timeout_s * 1000), waiting_s=timeout_s)[0] == 0

    def window_gone(self, title, timeout_s=EXIT_TIMEOUT_S):
        return self.probe("gone", title, int(timeout_s * 1000), waiting_s=timeout_s)[0] == 0

    def text(self, title, control):
        lines = self.probe_value("text", title, control)
        return lines[0] if lines else ""

    def texts(self, title, controls):
        return self.probe_value("text", title, *controls)

    def wait_text(self, title, control, text, timeout_s=3):
        """The control's text once it is text, else the last one read."""
        code, lines = self.probe(
            "waittext", title, control, text, int(timeout_s * 1000), waiting_s=timeout_s
        )
        if code == 0:
            return text
        if not lines:  # nothing read: no such window or control
            raise AssertionError("no control %d in %r to read" % (control, title))
        return lines[0]

    def focused(self, title):
        """The id of the window's control that has the keyboard focus, or 0."""
        return int(self.probe_value("focused", title)[0])

    def checked(self, title, control):
        return self.probe_value("checked", title, control) == ["1"]

    def enabled(self, title, control):
        return self.probe_value("enabled", title, control) == ["1"]

    def cursel(self, title, control):
        return int(self.probe_value("cursel", title, control)[0])

    def items(self, title, control):
        return self.probe_value("items", title, control)

    def click(self, title, control):
        self.probe_value("click", title, control)

    def focus(self, title, control):
        self.probe_value("focus", title, control)

    def select(self, title, control, index):
        self.probe_value("select", title, control, index)

    def close_box(self, title):
        self.probe_value("close", title)

    # -- the keyboard ----------------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=10)

    def focus_keyboard(self, title):
        """Directs the X11 keyboard to the window."""
        self.xdotool("windowfocus", self.probe_value("xid", title)[0])
        # Wine takes the focus change from the X server before the key.
        time.sleep(0.3)

    def key_down(self, *keys):
        self.xdotool("keydown", *keys)

    def key_up(self, *keys):
        self.xdotool("keyup", *keys)

    @contextlib.contextmanager
    def holding(self, *keys):
        """Keys held for the block.

        They are released whatever happens: the display, and with it the
        keyboard state, outlives the run.
        """
        if keys:
            self.key_down(*keys)
        try:
            yield
        finally:
            if keys:
                self.key_up(*keys)

    def press_escape(self, title):
        """Escape typed on the keyboard into the window's X11 window."""
        self.focus_keyboard(title)
        self.xdotool("key", "Escape")
