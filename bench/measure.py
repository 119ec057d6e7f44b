#!/usr/bin/env python3
"""Times Config.exe under Wine against two baselines, Baseline.exe (one empty dialog) and
BaselineThemed.exe (the same with Config.exe's manifest); run by bench/measure.sh.

Start-up: from the moment the Wine loader is started until X maps a top-level
window with the dialog's title (Wine maps a window when Windows shows it).
The X events are watched through Xlib, so the time is not rounded to a
polling period. Key test: the CPU time (utime + stime from /proc/PID/stat)
of the Config.exe process, the wineserver and Xvfb while the key test stays
open with nothing held.
"""

import argparse
import ctypes
import ctypes.util
import os
import select
import signal
import statistics
import subprocess
import sys
import tempfile
import time

MAIN_TITLE = "設定"
KEY_TEST_TITLE = "コントローラーテスト"
BASELINE_TITLE = "Baseline"
KEY_TEST_BUTTON = 1034
STATE_TEXT_CONTROL = 2301
WINDOW_TIMEOUT_S = 30.0
SETTLE_S = 1.0

# Xlib event types and masks.
MAP_NOTIFY = 19
PROPERTY_NOTIFY = 28
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
PROPERTY_CHANGE_MASK = 1 << 22


class MapEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("event", ctypes.c_ulong),
        ("window", ctypes.c_ulong),
        ("override_redirect", ctypes.c_int),
    ]


class PropertyEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("atom", ctypes.c_ulong),
        ("time", ctypes.c_ulong),
        ("state", ctypes.c_int),
    ]


class Event(ctypes.Union):
    _fields_ = [
        ("type", ctypes.c_int),
        ("map", MapEvent),
        ("property", PropertyEvent),
        ("pad", ctypes.c_long * 24),
    ]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class WindowWatch:
    """Top-level windows as X maps them, and their titles."""

    def __init__(self):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self._declare()
        # A window may be gone by the time its title is asked for; the default
        # handler would end this program for that.
        self._ignore_errors = ERROR_HANDLER(lambda display, error: 0)
        self.x.XSetErrorHandler(self._ignore_errors)
        self.display = self.x.XOpenDisplay(None)
        if not self.display:
            sys.exit("measure.py: cannot open the X display %r" % os.environ.get("DISPLAY"))
        self.root = self.x.XDefaultRootWindow(self.display)
        self.x.XSelectInput(self.display, self.root, SUBSTRUCTURE_NOTIFY_MASK)
        self.net_wm_name = self.x.XInternAtom(self.display, b"_NET_WM_NAME", 0)
        self.utf8_string = self.x.XInternAtom(self.display, b"UTF8_STRING", 0)
        self.x.XSync(self.display, 0)
        self.mapped = set()

    def _declare(self):
        x = self.x
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(Event)]
        x.XSetErrorHandler.argtypes = [ERROR_HANDLER]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
            ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]

    def title(self, window):
        kind, size, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        status = self.x.XGetWindowProperty(
            self.display, window, self.net_wm_name, 0, 256, 0, self.utf8_string,
            ctypes.byref(kind), ctypes.byref(size), ctypes.byref(count), ctypes.byref(after),
            ctypes.byref(data))
        if status != 0 or not data:
            return None
        text = ctypes.string_at(data, count.value).decode("utf-8", "replace")
        self.x.XFree(data)
        return text

    def forget(self):
        """Windows mapped so far no longer count."""
        self._drain(None)
        self.mapped.clear()

    def wait(self, title, timeout_s=WINDOW_TIMEOUT_S):
        """The monotonic time at which a window titled `title` was seen mapped."""
        deadline = time.monotonic() + timeout_s
        while True:
            seen = self._drain(title)
            if seen is not None:
                return seen
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([self.x.XConnectionNumber(self.display)], [], [], left)

    # A title may be set after the window is mapped: mapped windows are
    # watched for it too.
    def _drain(self, title):
        event = Event()
        while self.x.XPending(self.display):
            self.x.XNextEvent(self.display, ctypes.byref(event))
            now = time.monotonic()
            if event.type == MAP_NOTIFY:
                window = event.map.window
                self.mapped.add(window)
                self.x.XSelectInput(self.display, window, PROPERTY_CHANGE_MASK)
            elif event.type == PROPERTY_NOTIFY and event.property.atom == self.net_wm_name:
                window = event.property.window
            else:
                continue
            if title and window in self.mapped and self.title(window) == title:
                return now
        return None


def escape_title(title):
    """Titles reach the probe as ASCII, whatever the locale can carry."""
    return "".join(c if ord(c) < 128 else "\\u%04x" % ord(c) for c in title)


class Arch:
    def __init__(self, argument):
        self.name, self.loader, self.config, self.baseline, self.themed = argument.split(":")


class Bench:
    def __init__(self, args):
        self.args = args
        self.watch = WindowWatch()

    def start(self, arch, exe):
        return subprocess.Popen([arch.loader, exe], cwd=self.args.game,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @staticmethod
    def stop(process):
        process.send_signal(signal.SIGKILL)
        process.wait()

    def startup_seconds(self, arch, exe, title):
        self.watch.forget()
        started = time.monotonic()
        process = self.start(arch, exe)
        shown = self.watch.wait(title)
        self.stop(process)
        if shown is None:
            sys.exit("measure.py: %s showed no window %r" % (exe, title))
        return shown - started

    # Through a file: Wine services started by a Wine process inherit its
    # pipes and keep them open long after it has ended.
    def probe(self, *args):
        with tempfile.TemporaryFile() as output:
            code = subprocess.call([self.args.probe_loader, self.args.probe] + list(args),
                                   stdout=output, stderr=subprocess.DEVNULL, timeout=60)
            output.seek(0)
            return code, output.read().decode("utf-8", "replace")

    def key_test_cpu(self, arch):
        """CPU seconds of Config.exe, the wineserver and Xvfb over the window."""
        self.watch.forget()
        process = self.start(arch, arch.config)
        try:
            if self.watch.wait(MAIN_TITLE) is None:
                sys.exit("measure.py: no main dialog")
            self.probe("click", escape_title(MAIN_TITLE), str(KEY_TEST_BUTTON))
            if self.watch.wait(KEY_TEST_TITLE) is None:
                sys.exit("measure.py: the key test did not open")
            time.sleep(SETTLE_S)
            pids = {"Config.exe": process.pid, "wineserver": self.args.wineserver_pid,
                    "Xvfb": self.args.xvfb_pid}
            before = {name: cpu_seconds(pid) for name, pid in pids.items()}
            time.sleep(self.args.idle_seconds)
            after = {name: cpu_seconds(pid) for name, pid in pids.items()}
            # Eight characters, not the template's ten: the timer has ticked.
            code, text = self.probe("text", escape_title(KEY_TEST_TITLE),
                                    str(STATE_TEXT_CONTROL))
            if code != 0 or text.rstrip("\r\n") != " " * 8:
                sys.exit("measure.py: the key test shows %r, not eight spaces" % text)
        finally:
            self.stop(process)
        return {name: after[name] - before[name] for name in pids}


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def spread(values):
    return "%4.0f ms [%4.0f-%4.0f]" % (1000 * statistics.median(values), 1000 * min(values),
                                      1000 * max(values))


def verdict(ok):
    return "met" if ok else "MISSED"


def measure_startup(bench, archs, runs, variants):
    print("Start-up to the visible dialog: median [min-max] of %d runs each, interleaved; the "
          "target is against the themed baseline, which has Config.exe's manifest" % runs)
    for arch in archs:
        programs = [("Baseline.exe", arch.baseline, BASELINE_TITLE),
                    ("BaselineThemed.exe", arch.themed, BASELINE_TITLE),
                    ("Config.exe", arch.config, MAIN_TITLE)]
        programs += [(name, exe, MAIN_TITLE) for name, exe in variants.get(arch.name, [])]
        for name, exe, title in programs:  # once each before timing
            bench.startup_seconds(arch, exe, title)
        times = {name: [] for name, _, _ in programs}
        for run in range(runs):  # each program in each place of the order equally often
            turn = run % len(programs)
            for name, exe, title in programs[turn:] + programs[:turn]:
                times[name].append(bench.startup_seconds(arch, exe, title))
        median = {name: statistics.median(values) for name, values in times.items()}
        themed = median["Config.exe"] / median["BaselineThemed.exe"]
        print("  %-6s  Config.exe %s   BaselineThemed.exe %s   Baseline.exe %s" % (
            arch.name, spread(times["Config.exe"]), spread(times["BaselineThemed.exe"]),
            spread(times["Baseline.exe"])))
        print("          ratio to the themed baseline %.2f (target 1.20: %s), to the unthemed "
              "one %.2f" % (themed, verdict(themed <= 1.2),
                            median["Config.exe"] / median["Baseline.exe"]))
        for name, _, _ in programs[3:]:
            print("          %s %s   ratio to the themed baseline %.2f, to the unthemed one %.2f" % (
                name, spread(times[name]), median[name] / median["BaselineThemed.exe"],
                median[name] / median["Baseline.exe"]))


def measure_key_test(bench, archs, repeats, idle_seconds):
    print("Key test open for %g s, nothing held: CPU time as %% of one core, median of %d" % (
        idle_seconds, repeats))
    for arch in archs:
        samples = [bench.key_test_cpu(arch) for _ in range(repeats)]
        share = {name: 100 * statistics.median(s[name] for s in samples) / idle_seconds
                 for name in samples[0]}
        config = share["Config.exe"]
        print("  %-6s  Config.exe %.2f %% (target 1 %%: %s)   wineserver %.2f %%   Xvfb %.2f %%"
              "   all three %.2f %%" % (arch.name, config, verdict(config < 1.0),
                                        share["wineserver"], share["Xvfb"], sum(share.values())))


def print_sizes(archs):
    print("Size")
    for arch in archs:
        config = os.path.getsize(arch.config)
        baseline = os.path.getsize(arch.baseline)
        print("  %-6s  Config.exe %7d bytes (%.0f KiB, target 400: %s)   Baseline.exe %7d bytes"
              % (arch.name, config, config / 1024, verdict(config < 400 * 1024), baseline))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--arch", action="append", required=True, type=Arch,
                        help="NAME:LOADER:CONFIG_EXE:BASELINE_EXE:THEMED_BASELINE_EXE")
    parser.add_argument("--probe", required=True, help="probe.exe")
    parser.add_argument("--probe-loader", required=True, help="the Wine loader for the probe")
    parser.add_argument("--game", required=True, help="the folder the programs start in")
    parser.add_argument("--wineserver-pid", type=int, required=True)
    parser.add_argument("--xvfb-pid", type=int, required=True)
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--variant", action="append", default=[],
                        help="ARCH:NAME:EXE, another Config.exe timed in the same series")
    parser.add_argument("--idle-repeats", type=int, default=3)
    parser.add_argument("--idle-seconds", type=float, default=10.0)
    args = parser.parse_args()

    bench = Bench(args)
    variants = {}
    for variant in args.variant:
        arch, name, exe = variant.split(":", 2)
        variants.setdefault(arch, []).append((name, exe))
    measure_startup(bench, args.arch, args.runs, variants)
    measure_key_test(bench, args.arch, args.idle_repeats, args.idle_seconds)
    print_sizes(args.arch)


if __name__ == "__main__":
    main()
