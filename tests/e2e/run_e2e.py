#!/usr/bin/env python3
"""Runs the end-to-end cases on build/mingw-ARCH/Config.exe under Wine on Xvfb through the probe
and xdotool: run_e2e.py [--arch ARCH] [-k TEXT]. Prints PASS or FAIL per case, exits 1 when any
failed, and keeps a failed case's game folder and Wine prefix under build/e2e."""

import argparse, os, pathlib, re, shutil, subprocess, sys, tempfile, time

import cases
from cases import MAIN, check

REPO_ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PROBE = os.path.join("tools", "probe", "probe.exe")  # in a build folder
FAKE_WINMM = os.path.join("tests", "e2e", "fake_winmm", "winmm.dll")
WINE_PREFIX_SCRIPT = os.path.join(REPO_ROOT, "scripts", "wine_prefix.sh")
LOADERS = {"i686": os.environ.get("CONFIG_WINE32", "/usr/lib/wine/wine"), "x86_64": "/usr/lib/wine/wine64"}
JOYSTICKS = "joysticks.txt"  # read by the winmm.dll stand-in


class Session:
    """Config.exe in a game folder holding case.files with its own copy of the Wine prefix
    template; with case.joysticks, beside the winmm.dll stand-in that reports them."""

    def __init__(self, build_dir, arch, display, work_dir, case):
        self.build_dir, self.loader, self.process, self.held = build_dir, LOADERS[arch], None, []
        self.say = lambda text: cases.ENGLISH.get(text, text) if case.english else text
        self.game, prefix = pathlib.Path(work_dir, "game"), os.path.join(work_dir, "prefix")
        self.game.mkdir(parents=True)
        subprocess.run([WINE_PREFIX_SCRIPT, prefix], check=True)
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(("LC_", "LOCPATH"))}
        self.env.update(LANG="en_US.UTF-8", WINEPREFIX=prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=display)
        if case.japanese:
            self.env.update(LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8",
                            LOCPATH=os.path.join(REPO_ROOT, "build", "locale"))
        for path, content in case.files.items():
            full = self.game / path
            (full if content is None else full.parent).mkdir(parents=True, exist_ok=True)
            content is None or full.write_bytes(content)
        self.program, self.harness_files = os.path.join(build_dir, "Config.exe"), set()
        if case.joysticks is not None:
            for source in (self.program, os.path.join(build_dir, FAKE_WINMM)):
                shutil.copy2(source, self.game)
            self.program = self.game / "Config.exe"
            self.env["WINEDLLOVERRIDES"] += ";winmm=n,b"
            self.env["FAKE_JOYSTICKS"] = "Z:" + str(self.game / JOYSTICKS).replace("/", "\\")
            self.set_joysticks(case.joysticks)
            self.harness_files.add(JOYSTICKS)

    def hold(self, path, milliseconds):
        """Another program holds the game folder's file open without sharing: a probe in the
        background, once it says so (within 20 s)."""
        with tempfile.TemporaryFile() as output:
            subprocess.Popen([self.loader, os.path.join(self.build_dir, PROBE), "hold", "Z:" + str(
                self.game / path).replace("/", "\\"), str(milliseconds)], env=self.env,
                stdout=output, stderr=subprocess.DEVNULL)
            for _ in range(200):
                if output.seek(0) == 0 and output.read().startswith(b"held"):
                    return
                time.sleep(0.1)
        raise AssertionError("%s was not held" % path)

    def set_joysticks(self, text):
        """Replaces joysticks.txt whole, so that no read sees half of it."""
        (self.game / "joysticks.new").write_text(text)
        os.replace(self.game / "joysticks.new", self.game / JOYSTICKS)

    def finish(self):
        """Ends what runs in this prefix, the wineserver last; releases the keys still held."""
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        for flag in ("-k", "-w"):
            subprocess.run(["/usr/lib/wine/wineserver", flag], env=self.env,
                           stderr=subprocess.DEVNULL)
        self.keys("keyup", *self.held)

    def probe(self, *args, waiting_s=0):
        """The probe's exit code and output lines; titles reach it as ASCII. A file, not a
        pipe: the Wine services that a prefix's first process starts inherit it."""
        words = ["".join(c if 32 <= ord(c) < 128 else "\\u%04x" % ord(c) for c in str(
            self.say(a))) for a in args]
        with tempfile.TemporaryFile() as output:
            code = subprocess.run([self.loader, os.path.join(self.build_dir, PROBE), *words],
                                  env=self.env, stdout=output, stderr=subprocess.DEVNULL,
                                  timeout=20 + waiting_s).returncode  # 20 s to start
            output.seek(0)
            return code, output.read().decode("utf-8", "replace").splitlines()

    def value(self, *args):
        """The probe's output lines for a command that must succeed."""
        code, lines = self.probe(*args)
        check("probe %s" % " ".join(map(str, args)), code, 0)
        return lines

    def wait_window(self, title, opens=True, timeout_s=10):
        code, _ = self.probe("wait" if opens else "gone", title, timeout_s * 1000,
                             waiting_s=timeout_s)
        check("%s %s" % (title, "opens" if opens else "closes"), code, 0)

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

    def keys(self, action, *keys):
        """xdotool keydown or keyup, remembering which keys are held."""
        if keys:
            self.xdotool(action, *keys)
            self.held = [k for k in self.held if k not in keys] + list(keys) * (action == "keydown")


def snapshot(root):
    """{relative path: (bytes, modification time)} of every file, None for a folder."""
    return {path.relative_to(root).as_posix(): (path.read_bytes(), path.stat().st_mtime_ns)
            if path.is_file() else None for path in pathlib.Path(root).rglob("*")}


def changes(before, after, writes, ignored):
    """Paths not as expected: written files by their bytes, others as before (and as old)."""
    now = {path: value[0] if path in writes and value else value for path, value in after.items()}
    wanted = {**before, **writes}
    return ["%s %s" % (path, "is missing" if path not in now else "appeared" if path not in wanted
                       else "changed" if path not in writes else "differs at %s" % [
                           i for i in range(max(len(now[path]), len(wanted[path])))
                           if now[path][i : i + 1] != wanted[path][i : i + 1]][:8])
            for path in sorted((set(now) | set(wanted)) - ignored)
            if now.get(path, 0) != wanted.get(path, 0)]


def run_case(case, build, work_dir):
    """The case's faults; build: (folder, arch, display). Raises TimeoutExpired when a helper
    outlived its own limit: the probe gives up by itself, so that is Wine stalling."""
    session = Session(*build, work_dir, case)
    before, faults = snapshot(session.game), []
    try:
        session.process = subprocess.Popen(
            [session.loader, session.program] + ["/lang:en"] * case.english,
            cwd=session.game / case.start_in, env=session.env, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        for step in [cases.wait(MAIN, True, 30)] + case.steps:
            step(session)
        code = session.process.wait(timeout=15)
        faults += ["exit code %d, expected %d" % (code, case.exit_code)] * (code != case.exit_code)
    except subprocess.TimeoutExpired as error:
        if error.cmd != session.process.args:
            raise
        faults.append("still running after the dialog was ended")
    except (AssertionError, subprocess.SubprocessError, OSError) as error:
        faults.append(str(error))
    finally:
        session.finish()
    faults += changes(before, snapshot(session.game), case.writes, session.harness_files)
    if not faults:
        shutil.rmtree(work_dir, ignore_errors=True)
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--arch", choices=("i686", "x86_64"), default="i686")
    parser.add_argument("-k", dest="only", default="", help="only cases whose name has TEXT")
    args = parser.parse_args()
    build = [os.path.join(REPO_ROOT, "build", "mingw-" + args.arch), args.arch]
    for needed in ("Config.exe", PROBE, FAKE_WINMM):
        os.path.isfile(os.path.join(build[0], needed)) or sys.exit("end-to-end: no " + needed)
    work_root = os.path.join(REPO_ROOT, "build", "e2e", args.arch)
    shutil.rmtree(work_root, ignore_errors=True)
    subprocess.run([WINE_PREFIX_SCRIPT], check=True)  # the template
    read_end, write_end = os.pipe()  # Xvfb on the first free display tells its number
    display = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                "-nolisten", "tcp"], pass_fds=(write_end,),
                               stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        build.append(":" + reader.readline().strip())
    passed = failed = 0
    try:
        for case in (c for c in cases.CASES if args.only in c.name):
            started, name = time.monotonic(), re.sub(r"[^a-z0-9]+", "-", case.name.lower())
            for work in (os.path.join(work_root, name), os.path.join(work_root, name + "-again")):
                try:  # once more if Wine stalled
                    faults = run_case(case, build, work)
                    break
                except subprocess.TimeoutExpired as error:
                    print("RETRY %s %s: %s" % (args.arch, case.name, error))
                    faults = ["harness: Wine stalled twice"]
            print("%s  %s %s (%.1f s)" % ("FAIL" if faults else "PASS", args.arch, case.name,
                  time.monotonic() - started), *faults + ["kept in " + work] * bool(faults),
                  sep="\n        ", flush=True)
            failed, passed = failed + bool(faults), passed + (not faults)
    finally:
        display.terminate()
        display.wait()
    print("end-to-end %s: %d passed, %d failed" % (args.arch, passed, failed))
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
