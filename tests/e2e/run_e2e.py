#!/usr/bin/env python3
"""Runs the end-to-end cases against build/mingw-ARCH/Config.exe under Wine.

    run_e2e.py [--arch i686|x86_64] [-k TEXT]

Prints PASS or FAIL with each case's name and exits 1 when any case failed.
A failed case's folder (game folder and Wine prefix) stays under build/e2e.
"""

import argparse
import os
import pathlib
import re
import shutil
import subprocess
import sys
import time

import cases
from kvset_model import describe_difference
from wine_session import FAKE_WINMM, PROBE, REPO_ROOT, WINE_PREFIX_SCRIPT, Session, start_display


def snapshot(root):
    """{relative path: (bytes, modification time)} of every file, None for a folder."""
    return {path.relative_to(root).as_posix(): (path.read_bytes(), path.stat().st_mtime_ns)
            if path.is_file() else None for path in pathlib.Path(root).rglob("*")}


def changes(before, after, writes, ignored):
    """Files not written as expected; any other file or folder not exactly as
    before, modification time included."""
    faults = []
    for path in sorted((set(before) | set(after) | set(writes)) - ignored):
        now, want = after.get(path), writes.get(path)
        if path in writes:
            fault = "was not written" if now is None else (
                now[0] != want and "differs: " + describe_difference(want, now[0]))
        else:
            fault = "appeared" if path not in before else "disappeared" if path not in after else (
                now != before[path] and "changed")
        faults += ["%s %s" % (path, fault)] if fault else []
    return faults


def run_case(case, build, work_dir):
    """The case's faults, empty when it passed; build: (folder, arch, display).
    Raises TimeoutExpired when a helper outlived its own time limit: the probe gives
    up by itself when a window does not come, so that is Wine stalling."""
    session = Session(*build, work_dir, case)
    before, faults = snapshot(session.game_dir), []
    try:
        session.start(case.start_in)
        for step in case.steps:
            step(session)
        code = session.exit_code()
        if code != case.exit_code:
            faults.append("exit code %s, expected %d" % (code, case.exit_code))
    except AssertionError as error:
        faults.append(str(error))
    except subprocess.TimeoutExpired:
        raise
    except (subprocess.SubprocessError, OSError) as error:
        faults.append("harness: %s" % error)
    finally:
        session.finish()
    faults += changes(before, snapshot(session.game_dir), case.writes, session.harness_files)
    if not faults:
        shutil.rmtree(work_dir, ignore_errors=True)
    return faults


def run_case_once_more_if_wine_stalls(case, build, work_dir):
    for work in (work_dir, work_dir + "-again"):
        try:
            return run_case(case, build, work)
        except subprocess.TimeoutExpired as error:
            print("RETRY %s %s: %s" % (build[1], case.name, error))
    return ["harness: Wine stalled twice"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--arch", choices=("i686", "x86_64"), default="i686")
    parser.add_argument("-k", dest="only", default="", help="only cases whose name has TEXT")
    args = parser.parse_args()
    build_dir = os.path.join(REPO_ROOT, "build", "mingw-" + args.arch)
    for needed in ("Config.exe", PROBE, FAKE_WINMM):
        if not os.path.isfile(os.path.join(build_dir, needed)):
            sys.exit("end-to-end %s: no %s in %s" % (args.arch, needed, build_dir))
    work_root = os.path.join(REPO_ROOT, "build", "e2e", args.arch)
    shutil.rmtree(work_root, ignore_errors=True)
    subprocess.run([WINE_PREFIX_SCRIPT], check=True)  # the template
    display, display_name = start_display()
    passed = failed = 0
    try:
        for case in (c for c in cases.CASES if args.only in c.name):
            started = time.monotonic()
            work_dir = os.path.join(work_root, re.sub(r"[^a-z0-9]+", "-", case.name.lower()))
            faults = run_case_once_more_if_wine_stalls(case, (build_dir, args.arch, display_name),
                                                       work_dir)
            print("%s  %s %s (%.1f s)" % ("FAIL" if faults else "PASS", args.arch, case.name,
                                          time.monotonic() - started))
            for fault in faults + ["kept in " + work_dir] * bool(faults):
                print("        " + fault)
            failed, passed = failed + bool(faults), passed + (not faults)
            sys.stdout.flush()
    finally:
        display.terminate()
        display.wait()
    print("end-to-end %s: %d passed, %d failed" % (args.arch, passed, failed))
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
