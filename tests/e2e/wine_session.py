"""Runs Config.exe under Wine on Xvfb and drives it through the probe and xdotool."""

import os
import pathlib
import shutil
import subprocess
import tempfile
import time

REPO_ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PROBE = os.path.join("tools", "probe", "probe.exe")  # in a build folder
FAKE_WINMM = os.path.join("tests", "e2e", "fake_winmm", "winmm.dll")
WINE_PREFIX_SCRIPT = os.path.join(REPO_ROOT, "scripts", "wine_prefix.sh")
LOADERS = {"i686": "/usr/lib/wine/wine", "x86_64": "/usr/lib/wine/wine64"}
MAIN_TITLE, JOYSTICKS = "設定", "joysticks.txt"  # the latter read by the winmm.dll stand-in


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def check(what, seen, wanted):
    expect(seen == wanted, "%s: %r, expected %r" % (what, seen, wanted))


def start_display():
    """An Xvfb server on the first free display, and its name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp"], pass_fds=(write_end,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        number = reader.readline().strip()
    expect(number, "Xvfb did not start")
    return server, ":" + number


class Session:
    """One run of Config.exe in a game folder holding case.files, with its own copy of
    the Wine prefix template. With case.joysticks (the text of joysticks.txt), Config.exe
    runs from the game folder beside the winmm.dll stand-in, which reports them."""

    def __init__(self, build_dir, arch, display, work_dir, case):
        self.build_dir, self.loader, self.process, self.held = build_dir, LOADERS[arch], None, []
        self.game_dir, prefix = os.path.join(work_dir, "game"), os.path.join(work_dir, "prefix")
        os.makedirs(self.game_dir)
        subprocess.run([WINE_PREFIX_SCRIPT, prefix], check=True)
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(("LC_", "LOCPATH"))}
        self.env.update(LANG="en_US.UTF-8", WINEPREFIX=prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=display)
        if case.japanese:
            self.env.update(LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8",
                            LOCPATH=os.path.join(REPO_ROOT, "build", "locale"))
        for path, content in case.files.items():
            full = pathlib.Path(self.path(path))
            (full if content is None else full.parent).mkdir(parents=True, exist_ok=True)
            if content is not None:
                full.write_bytes(content)
        self.program, self.harness_files = os.path.join(build_dir, "Config.exe"), set()
        if case.joysticks is not None:
            for source in (self.program, os.path.join(build_dir, FAKE_WINMM)):
                shutil.copy2(source, self.game_dir)
            self.program = os.path.join(self.game_dir, "Config.exe")
            self.env["WINEDLLOVERRIDES"] += ";winmm=n,b"
            self.set_joysticks(case.joysticks)
            self.harness_files.add(JOYSTICKS)

    def path(self, relative):
        return os.path.join(self.game_dir, *relative.split("/"))

    def set_joysticks(self, text):
        """Replaces joysticks.txt whole, so that no read sees half of it."""
        pathlib.Path(self.path(JOYSTICKS + ".new")).write_text(text)
        os.replace(self.path(JOYSTICKS + ".new"), self.path(JOYSTICKS))

    def start(self, folder):
        """Starts Config.exe in the game folder or a folder in it; waits for the dialog."""
        self.process = subprocess.Popen([self.loader, self.program], cwd=self.path(folder),
                                        env=self.env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.wait_window(MAIN_TITLE, timeout_s=30)

    def exit_code(self):
        """The program's exit code, or None when it still runs 15 s on."""
        try:
            return self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            return None

    def finish(self):
        """Ends whatever still runs in this prefix, the wineserver last; releases the
        keys still held, as the display outlives the run."""
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        for flag in ("-k", "-w"):
            subprocess.run(["/usr/lib/wine/wineserver", flag], env=self.env, stderr=subprocess.DEVNULL)
        self.keyup(*self.held)

    def probe(self, *args, waiting_s=0):
        """The probe's exit code and output lines. Titles reach it as ASCII."""
        words = ["".join(c if 32 <= ord(c) < 128 else "\\u%04x" % ord(c) for c in str(a)) for a in args]
        # A file, not a pipe: the Wine services that the first Wine process of a
        # prefix starts inherit its output and outlive it.
        with tempfile.TemporaryFile() as output:
            code = subprocess.run([self.loader, os.path.join(self.build_dir, PROBE), *words],
                                  env=self.env, stdout=output, stderr=subprocess.DEVNULL,
                                  timeout=20 + waiting_s).returncode  # 20 s to start
            output.seek(0)
            return code, output.read().decode("utf-8", "replace").splitlines()

    def value(self, *args):
        """The probe's output lines for a command that must succeed."""
        code, lines = self.probe(*args)
        expect(code == 0, "probe %s: exit %d" % (" ".join(map(str, args)), code))
        return lines

    def wait_window(self, title, opens=True, timeout_s=10):
        code = self.probe("wait" if opens else "gone", title, timeout_s * 1000, waiting_s=timeout_s)[0]
        expect(code == 0, "%r did not %s" % (title, "open" if opens else "close"))

    def wait_text(self, title, control, text, timeout_s=3):
        """The control's text once it is text, else the last one read; asked every
        0.5 s, as a box may take the title of a window that is still closing."""
        deadline, seen = time.monotonic() + timeout_s, None
        while True:
            code, lines = self.probe("waittext", title, control, text, 500, waiting_s=0.5)
            seen = text if code == 0 else "\n".join(lines) if lines else seen
            if code == 0 or time.monotonic() >= deadline:
                return seen

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=10)

    def focus_keyboard(self, title):
        """Directs the X11 keyboard to the window; Wine takes the change in 0.3 s."""
        self.xdotool("windowfocus", self.value("xid", title)[0])
        time.sleep(0.3)

    def keydown(self, *keys):
        if keys:
            self.xdotool("keydown", *keys)
            self.held += keys

    def keyup(self, *keys):
        if keys:
            self.xdotool("keyup", *keys)
            self.held = [key for key in self.held if key not in keys]
