#!/usr/bin/env python3
"""Runs the end-to-end cases against one build of Config.exe.

    run_e2e.py --arch i686 [--smoke] [--keep] [-k TEXT]

Prints PASS or FAIL with each case's name and exits 1 when any case failed.
A failed case's folder (game folder and Wine prefix) stays under build/e2e.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time

import bad_input_cases
import cases
import dialog_cases
import game_folder
import kvset_model
from wine_session import REPO_ROOT, Display, HarnessError, Session, prepare_template


class Build:
    def __init__(self, arch, build_dir):
        self.arch = arch
        self.config_exe = os.path.join(build_dir, "Config.exe")
        self.probe_exe = os.path.join(build_dir, "tools", "probe", "probe.exe")
        self.fake_winmm = os.path.join(build_dir, "tests", "e2e", "fake_winmm", "winmm.dll")

    def missing(self):
        helpers = (self.config_exe, self.probe_exe, self.fake_winmm)
        return [p for p in helpers if not os.path.isfile(p)]


def slug(name):
    return re.sub(r"[^a-z0-9]+", "-", name.lower()).strip("-")


class WineStalled(Exception):
    """A helper Wine process outlived its own time limit: Wine, not the program, stalled."""


def run_case(case, build, display, work_dir):
    """The case's faults; empty when it passed. Raises WineStalled."""
    # Only the dialog cases script joysticks.
    joysticks = getattr(case, "joysticks", None)
    session = Session(build, display, work_dir, japanese=case.japanese, joysticks=joysticks)
    faults = []
    before = None
    stalled = None
    try:
        game_folder.place(session.game_dir, case.files)
        before = game_folder.snapshot(session.game_dir)
        session.start()
        case.drive(session)
        code = session.wait_exit()
        if code is None:
            faults.append("still running after the dialog was ended")
        elif code != getattr(case, "exit_code", 0):
            faults.append("exit code %d" % code)
    except AssertionError as error:
        faults.append(str(error))
    except subprocess.TimeoutExpired as error:
        # The probe gives up by itself when a window does not come; running on
        # past that is the Wine loader stalling on a loaded machine.
        stalled = error
    except (HarnessError, subprocess.SubprocessError, OSError) as error:
        faults.append("harness: %s" % error)
    finally:
        session.finish()
    if stalled is not None:
        raise WineStalled(str(stalled))
    if before is not None:
        after = game_folder.snapshot(session.game_dir)
        faults += game_folder.changes(
            before, after, case.writes, kvset_model.describe_difference, session.harness_files
        )
    if not faults:
        session.remove()
    return faults


def run_case_once_more_if_wine_stalls(case, build, display, work_dir):
    try:
        return run_case(case, build, display, work_dir)
    except WineStalled as error:
        print("RETRY %s %s: %s" % (build.arch, case.name, error))
    try:
        return run_case(case, build, display, work_dir + "-again")
    except WineStalled as error:
        return ["harness: Wine stalled twice: %s" % error]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--arch", choices=("i686", "x86_64"), default="i686")
    parser.add_argument("--build-dir", help="folder with Config.exe (default build/mingw-ARCH)")
    parser.add_argument("--smoke", action="store_true", help="only the smoke subset")
    parser.add_argument("-k", dest="only", help="only cases whose name contains TEXT")
    args = parser.parse_args()

    build_dir = args.build_dir or os.path.join(REPO_ROOT, "build", "mingw-" + args.arch)
    build = Build(args.arch, os.path.abspath(build_dir))
    if build.missing():
        print("FAIL  end-to-end %s: missing %s" % (args.arch, ", ".join(build.missing())))
        print("end-to-end %s: 0 passed, 1 failed" % args.arch)
        return 1

    selected = [
        c
        for c in cases.build_cases() + dialog_cases.build_cases() + bad_input_cases.build_cases()
        if (c.smoke or not args.smoke) and (args.only is None or args.only in c.name)
    ]
    work_root = os.path.join(REPO_ROOT, "build", "e2e", args.arch)
    shutil.rmtree(work_root, ignore_errors=True)
    prepare_template()
    display = Display()
    passed = failed = 0
    try:
        for case in selected:
            started = time.monotonic()
            work_dir = os.path.join(work_root, slug(case.name))
            faults = run_case_once_more_if_wine_stalls(case, build, display, work_dir)
            took = time.monotonic() - started
            if faults:
                failed += 1
                print("FAIL  %s %s (%.1f s)" % (args.arch, case.name, took))
                for fault in faults:
                    print("        " + fault)
                print("        kept in " + work_dir)
            else:
                passed += 1
                print("PASS  %s %s (%.1f s)" % (args.arch, case.name, took))
            sys.stdout.flush()
    finally:
        display.close()
    print("end-to-end %s: %d passed, %d failed" % (args.arch, passed, failed))
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
