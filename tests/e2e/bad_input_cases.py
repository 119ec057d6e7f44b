"""End-to-end cases with inputs no earlier run would have left behind.

Broken KV.set files, odd LocalConfig.Txt files and folders with long or
Japanese names. Each case ends in a defined outcome: the dialog opens, the
program exits with 0, and the game folder holds exactly the expected bytes.

    bad_input_cases.py --arch i686 [--build-dir DIR] [-k TEXT]

runs these cases alone, in a work folder of their own (build/e2e-bad-input).
"""

import argparse
import os
import random
import shutil
import subprocess
import sys
import time

import cases
import kvset_model as kv
from cases import CANCEL, CONFIRM, CRAFTED, DATA_KV, LOCAL_KV, LOCAL_TXT, Case, expect
from wine_session import LOADERS, MAIN_TITLE, REPO_ROOT, Display, prepare_template

ASSIGN_TITLE = "ボタン設定"
KEY_CONFIG, ASSIGN_OK, FIELD_UP = 1017, 1, 1030
MEBIBYTE = 1 << 20


# -- the model's view of a bad record -------------------------------------------


def loaded(file_bytes):
    """The record after the load: a current slot outside 0-4 is brought back to 0."""
    image = kv.default_image() if file_bytes is None else kv.loaded_image(file_bytes)
    if not 0 <= kv.get_int(image, kv.CURRENT_SLOT) < kv.SLOT_COUNT:
        kv.put_int(image, kv.CURRENT_SLOT, 0)
    return image


def saved(file_bytes):
    """What a confirmed run writes after loading file_bytes, boxes untouched."""
    image = loaded(file_bytes)
    kv.read_back_as_shown(image)
    return bytes(image)


def sized(size):
    """The crafted record, cut or lengthened with random bytes to `size` bytes."""
    tail = random.Random(size).randbytes(max(0, size - len(CRAFTED)))
    return (CRAFTED + tail)[:size]


def with_up_binding(source, code):
    """The crafted record with controller 1's UP binding of its current slot replaced."""
    image = bytearray(CRAFTED)
    offset = kv.key_map_offset(kv.get_int(image, kv.CURRENT_SLOT))
    kv.put_int(image, offset, source)
    kv.put_int(image, offset + 4, code)
    return bytes(image)


# -- driving --------------------------------------------------------------------


def confirm_shown(file_bytes):
    def drive(session):
        cases.expect_shows(session, loaded(file_bytes))
        session.click(MAIN_TITLE, CONFIRM)

    return drive


def up_field_then_confirm(file_bytes, text):
    """The button-assignment dialog shows the UP binding as `text`; OK, then confirm."""

    def drive(session):
        cases.expect_shows(session, loaded(file_bytes))
        session.click(MAIN_TITLE, KEY_CONFIG)
        expect(session.wait_window(ASSIGN_TITLE, 10), "no button-assignment dialog")
        shown = session.text(ASSIGN_TITLE, FIELD_UP)
        expect(shown == text, "the UP field shows %r, expected %r" % (shown, text))
        session.click(ASSIGN_TITLE, ASSIGN_OK)
        expect(session.window_gone(ASSIGN_TITLE, 10), "the button-assignment dialog stayed")
        session.click(MAIN_TITLE, CONFIRM)

    return drive


def restart_in(session, folder):
    """Ends the run in the game folder and starts Config.exe again inside `folder`."""
    session.click(MAIN_TITLE, CANCEL)
    expect(session.wait_exit() == 0, "the first run did not end cleanly")
    session.process = subprocess.Popen(
        [LOADERS[session.build.arch], session.build.config_exe],
        cwd=os.path.join(session.game_dir, *folder.split("/")),
        env=session.env,
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
    )
    expect(session.wait_window(MAIN_TITLE), "the dialog did not appear in %s" % folder)


def started_in(folder, file_bytes):
    def drive(session):
        restart_in(session, folder)
        confirm_shown(file_bytes)(session)

    return drive


# -- the cases --------------------------------------------------------------------

JAPANESE_FOLDER = "ゲーム"
FOLDER_5C = "表ソ"  # both characters have 0x5C as their second CP932 byte
LONG_A, LONG_B = "a" * 120, "b" * 120  # together past 260 bytes of path
LONG_TOKEN = "x" * 300


def kv_set_cases():
    result = [
        Case(
            "%d-byte KV.set" % size,
            {DATA_KV: sized(size)},
            confirm_shown(sized(size)),
            {DATA_KV: saved(sized(size))},
        )
        for size in (0, 1, kv.SIZE - 1, kv.SIZE + 1, MEBIBYTE)
    ]
    for slot in (-1, 5, 0x7FFFFFFF):
        file_bytes = cases.with_int(CRAFTED, kv.CURRENT_SLOT, slot)
        result.append(
            Case(
                "currentSlot %d" % slot,
                {DATA_KV: file_bytes},
                confirm_shown(file_bytes),
                {DATA_KV: saved(file_bytes)},
            )
        )
    bindings = (
        ("source -1", -1, 0x10000, "PAD-1:UP"),
        ("source 5", 5, 0x10000, "PAD5:UP"),
        ("source 1000", 1000, 0x10000, "PAD1000:UP"),
        ("key code 300", 0, 300, ""),
        ("key code -1", 0, -1, ""),
    )
    for name, source, code, text in bindings:
        file_bytes = with_up_binding(source, code)
        result.append(
            Case(
                "binding with %s" % name,
                {DATA_KV: file_bytes},
                up_field_then_confirm(file_bytes, text),
                {DATA_KV: saved(file_bytes)},
            )
        )
    return result


def local_config_case(name, text, folders, saved_into):
    """LocalConfig.Txt holding `text`; a confirmed run with no KV.set saves into `saved_into`."""
    files = {LOCAL_TXT: text, "Data": None}
    files.update({folder: None for folder in folders})
    return Case(name, files, confirm_shown(None), {saved_into + "/KV.set": saved(None)})


def local_config_cases():
    return [
        local_config_case(
            "LocalConfig.Txt of 1 MiB is ignored",
            (b"DataPath Other\r\n" + b"// filler\r\n" * MEBIBYTE)[:MEBIBYTE],
            ["Other/Data"],
            "Data",
        ),
        local_config_case(
            "LocalConfig.Txt with a 300-byte folder token",
            b"DataPath " + LONG_TOKEN.encode() + b"\r\nDataPath Other\r\n",
            ["Other/Data", LONG_TOKEN[:127] + "/Data"],
            "Other/Data",
        ),
        local_config_case(
            "LocalConfig.Txt with NUL bytes",
            b"DataPath Other\x00\x00DataPath Third\r\n",
            ["Other/Data", "Third/Data"],
            "Other/Data",
        ),
        local_config_case(
            "LocalConfig.Txt ending in a lone lead byte",
            b"DataPath Other\r\nDataPath \x95",
            ["Other/Data"],
            "Other/Data",
        ),
        local_config_case(
            "DataPath into a folder past 260 bytes",
            ("DataPath %s\r\nDataPath %s\r\n" % (LONG_A, LONG_B)).encode(),
            [LONG_A + "/" + LONG_B + "/Data"],
            LONG_A + "/" + LONG_B + "/Data",
        ),
        local_config_case(
            "DataPath into a folder with 0x5C second bytes",
            b"DataPath " + FOLDER_5C.encode("cp932") + b"\r\n",
            [FOLDER_5C + "/Data"],
            FOLDER_5C + "/Data",
        ),
    ]


def folder_cases():
    local = JAPANESE_FOLDER + "/" + LOCAL_KV
    return [
        Case(
            "game folder with a Japanese name",
            {local: CRAFTED, JAPANESE_FOLDER + "/Data": None},
            started_in(JAPANESE_FOLDER, CRAFTED),
            {local: saved(CRAFTED)},
        ),
    ]


def build_cases():
    return kv_set_cases() + local_config_cases() + folder_cases()


def main():
    # run_e2e imports this module for the whole suite; import it only when run alone.
    import run_e2e

    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--arch", choices=("i686", "x86_64"), default="i686")
    parser.add_argument("--build-dir", help="folder with Config.exe (default build/mingw-ARCH)")
    parser.add_argument("-k", dest="only", help="only cases whose name contains TEXT")
    args = parser.parse_args()

    build_dir = args.build_dir or os.path.join(REPO_ROOT, "build", "mingw-" + args.arch)
    build = run_e2e.Build(args.arch, os.path.abspath(build_dir))
    if build.missing():
        print("missing %s" % ", ".join(build.missing()))
        return 1
    selected = [c for c in build_cases() if args.only is None or args.only in c.name]
    work_root = os.path.join(REPO_ROOT, "build", "e2e-bad-input", args.arch)
    shutil.rmtree(work_root, ignore_errors=True)
    prepare_template()
    display = Display()
    failed = 0
    try:
        for case in selected:
            started = time.monotonic()
            work_dir = os.path.join(work_root, run_e2e.slug(case.name))
            faults = run_e2e.run_case(case, build, display, work_dir)
            failed += bool(faults)
            took = time.monotonic() - started
            verdict = "FAIL" if faults else "PASS"
            print("%s  %s %s (%.1f s)" % (verdict, args.arch, case.name, took))
            for fault in faults:
                print("        " + fault)
            sys.stdout.flush()
    finally:
        display.close()
    print("bad input %s: %d passed, %d failed" % (args.arch, len(selected) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
