"""Runs Config.exe under Wine on Xvfb and drives it through the probe and xdotool."""

import contextlib
import os
import shutil
import subprocess
import tempfile
import time

REPO_ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PROBE = os.path.join("tools", "probe", "probe.exe")  # in a build folder
FAKE_WINMM = os.path.join("tests", "e2e", "fake_winmm", "winmm.dll")
WINE_PREFIX_SCRIPT = os.path.join(REPO_ROOT, "scripts", "wine_prefix.sh")
LOADERS = {"i686": "/usr/lib/wine/wine", "x86_64": "/usr/lib/wine/wine64"}
MAIN_TITLE = "設定"
JOYSTICKS_FILE = "joysticks.txt"  # read by the winmm.dll stand-in beside Config.exe
DIALOG_TIMEOUT_S, EXIT_TIMEOUT_S = 30, 15
PROBE_TIMEOUT_S = 20  # for one probe command, beyond what it waits for


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def start_display():
    """An Xvfb server on the first free display, and its name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1024x768x24", "-nolisten", "tcp"], pass_fds=(write_end,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        number = reader.readline().strip()
    expect(number, "Xvfb did not start")
    return server, ":" + number


class Session:
    """One run of Config.exe in a game folder, with its own copy of the Wine
    prefix template. With joysticks (the text of joysticks.txt), Config.exe
    runs from the game folder beside the winmm.dll stand-in, which reports them."""

    def __init__(self, build_dir, arch, display, work_dir, japanese=True, joysticks=None):
        self.build_dir, self.loader = build_dir, LOADERS[arch]
        self.game_dir, prefix = os.path.join(work_dir, "game"), os.path.join(work_dir, "prefix")
        os.makedirs(self.game_dir)
        subprocess.run([WINE_PREFIX_SCRIPT, prefix], check=True)
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(("LC_", "LOCPATH"))}
        self.env.update(LANG="en_US.UTF-8", WINEPREFIX=prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=display)
        if japanese:
            locales = os.path.join(REPO_ROOT, "build", "locale")
            self.env.update(LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8", LOCPATH=locales)
        self.program, self.process = os.path.join(build_dir, "Config.exe"), None
        self.harness_files = set()  # in the game folder, rewritten by the harness
        if joysticks is not None:
            for source in (self.program, os.path.join(build_dir, FAKE_WINMM)):
                shutil.copy2(source, self.game_dir)
            self.program = os.path.join(self.game_dir, "Config.exe")
            self.env["WINEDLLOVERRIDES"] += ";winmm=n,b"
            self.set_joysticks(joysticks)
            self.harness_files.add(JOYSTICKS_FILE)

    def path(self, relative):
        return os.path.join(self.game_dir, *relative.split("/"))

    def set_joysticks(self, text):
        """Replaces joysticks.txt whole, so that no read sees half of it."""
        with open(self.path(JOYSTICKS_FILE + ".new"), "w") as out:
            out.write(text)
        os.replace(self.path(JOYSTICKS_FILE + ".new"), self.path(JOYSTICKS_FILE))

    def start(self, folder=""):
        """Starts Config.exe in the game folder or a folder in it; waits for the dialog."""
        self.process = subprocess.Popen([self.loader, self.program], cwd=self.path(folder),
                                        env=self.env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        expect(self.wait_window(MAIN_TITLE), "the dialog %r did not appear" % MAIN_TITLE)

    def wait_exit(self):
        """The program's exit code, or None when it is still running."""
        try:
            return self.process.wait(timeout=EXIT_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            return None

    def finish(self):
        """Ends whatever still runs in this prefix, the wineserver last."""
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        for flag in ("-k", "-w"):
            subprocess.run(["/usr/lib/wine/wineserver", flag], env=self.env,
                           stderr=subprocess.DEVNULL)

    def probe(self, *args, waiting_s=0):
        """The probe's exit code and output lines. Titles reach it as ASCII."""
        words = ["".join(c if 32 <= ord(c) < 128 else "\\u%04x" % ord(c) for c in str(a)) for a in args]
        # A file, not a pipe: the Wine services that the first Wine process of a
        # prefix starts inherit its output and outlive it.
        with tempfile.TemporaryFile() as output:
            code = subprocess.run([self.loader, os.path.join(self.build_dir, PROBE), *words],
                                  env=self.env, stdout=output, stderr=subprocess.DEVNULL,
                                  timeout=PROBE_TIMEOUT_S + waiting_s).returncode
            output.seek(0)
            return code, output.read().decode("utf-8", "replace").splitlines()

    def value(self, *args):
        """The probe's output lines for a command that must succeed."""
        code, lines = self.probe(*args)
        expect(code == 0, "probe %s: exit %d" % (" ".join(map(str, args)), code))
        return lines

    def wait_window(self, title, timeout_s=DIALOG_TIMEOUT_S, command="wait"):
        """Whether the window came (or, with command "gone", went) in time."""
        return self.probe(command, title, int(timeout_s * 1000), waiting_s=timeout_s)[0] == 0

    def text(self, title, control):
        return (self.value("text", title, control) + [""])[0]

    def wait_text(self, title, control, text, timeout_s=3):
        """The control's text once it is text, else the last one read."""
        code, lines = self.probe("waittext", title, control, text, int(timeout_s * 1000),
                                 waiting_s=timeout_s)
        expect(code == 0 or lines, "no control %d in %r to read" % (control, title))
        return text if code == 0 else lines[0]

    def text_once_shown(self, title, control, text, timeout_s=10):
        """The control's text once it is text, else the last one read: for a
        box that takes the title of a window that is closing."""
        deadline, seen = time.monotonic() + timeout_s, None
        while time.monotonic() < deadline:
            code, lines = self.probe("waittext", title, control, text, 500, waiting_s=0.5)
            if code == 0:
                return text
            seen = "\n".join(lines) if lines else seen
        return seen

    def click(self, title, control):
        self.value("click", title, control)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=10)

    def focus_keyboard(self, title):
        """Directs the X11 keyboard to the window."""
        self.xdotool("windowfocus", self.value("xid", title)[0])
        time.sleep(0.3)  # Wine takes the focus change from the X server before the key

    @contextlib.contextmanager
    def holding(self, *keys):
        """Keys held for the block, released whatever happens: the display, and
        with it the keyboard state, outlives the run."""
        if keys:
            self.xdotool("keydown", *keys)
        try:
            yield
        finally:
            if keys:
                self.xdotool("keyup", *keys)
