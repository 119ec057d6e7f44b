#!/usr/bin/env python3
"""Checks the resources built into Config.exe against the dialog tables.

    resources_check.py CONFIG_EXE [WINDRES]

Decompiles the executable's resources with windres and compares the three
dialog templates (ids, kinds, texts, positions, styles, order), the icon, the
version block (against CMake's project version) and the manifest with what is
written down here. Prints one
line per fault and exits 1 when there is any.
"""

import os
import re
import subprocess
import sys

# Style words that the dialogs' tables name.
WS_VISIBLE_CHILD = 0x50000000
WS_TABSTOP = 0x00010000
WS_GROUP = 0x00020000
WS_BORDER = 0x00800000
WS_VSCROLL = 0x00200000

MAIN_DIALOG = {
    "head": ('"INITIALPAGE" DIALOG 0, 0, 199, 153', 0x90C800C0, "設定", (10, "ＭＳ ゴシック")),
    "controls": [
        # kind, text, id, x, y, w, h, style
        ("COMBOBOX", None, 1000, 8, 76, 71, 95, WS_VISIBLE_CHILD | WS_VSCROLL | WS_TABSTOP | 0x403),
        ("AUTOCHECKBOX", "ウィンドウモードで起動する", 2104, 8, 12, 112, 10, 0x50010003),
        ("AUTOCHECKBOX", "６４０×４８０で起動する", 1041, 8, 37, 112, 10, 0x50010003),
        ("AUTOCHECKBOX", "画面を３２０×２４０を保持する", 1042, 18, 49, 135, 10, 0x50010003),
        ("LTEXT", "キーの設定内容を５つまで保存しておくことができます", 65535, 82, 70, 93, 28,
         WS_VISIBLE_CHILD | WS_GROUP),
        ("PUSHBUTTON", "キーコンフィグ", 1017, 8, 95, 61, 14, 0x50010000),
        ("PUSHBUTTON", "キーテスト", 1034, 8, 112, 61, 14, 0x50010000),
        ("PUSHBUTTON", "設定する", 1, 146, 100, 50, 14, 0x50010000),
        ("PUSHBUTTON", "設定しない", 2, 146, 116, 50, 14, 0x50010000),
        ("PUSHBUTTON", "スコア初期化", 3, 146, 133, 50, 14, 0x50010000),
    ],
}

EDIT_FIELD = WS_VISIBLE_CHILD | WS_BORDER | WS_TABSTOP | 0x0800 | 0x0080  # read-only, auto scroll

BUTTON_ASSIGN_DIALOG = {
    "head": ("102 DIALOG 0, 0, 187, 93", 0x80C800C0, "ボタン設定", (9, "ＭＳ Ｐゴシック")),
    "controls": [
        ("PUSHBUTTON", "ｷｬﾝｾﾙ", 2, 130, 72, 50, 14, 0x50010000),
        ("DEFPUSHBUTTON", "設定する", 1018, 29, 72, 38, 13, 0x50010001),
        ("EDITTEXT", None, 1030, 36, 7, 40, 14, EDIT_FIELD),
        ("EDITTEXT", None, 1031, 36, 23, 40, 14, EDIT_FIELD),
        ("EDITTEXT", None, 1032, 36, 39, 40, 14, EDIT_FIELD),
        ("EDITTEXT", None, 1020, 36, 53, 40, 14, EDIT_FIELD),
        ("EDITTEXT", None, 1021, 109, 7, 40, 14, EDIT_FIELD),
        ("EDITTEXT", None, 1022, 109, 24, 40, 14, EDIT_FIELD),
        ("EDITTEXT", None, 1023, 109, 40, 40, 14, EDIT_FIELD),
        ("EDITTEXT", None, 1024, 109, 53, 40, 14, EDIT_FIELD),
        ("PUSHBUTTON", "OK", 1, 75, 72, 50, 14, 0x50010000),
        ("LTEXT", "UP", 1001, 9, 11, 10, 8, None),
        ("LTEXT", "DOWN", 1002, 7, 26, 20, 8, None),
        ("LTEXT", "LEFT", 1003, 7, 42, 16, 8, None),
        ("LTEXT", "RIGHT", 1004, 7, 57, 20, 8, None),
        ("LTEXT", "B1", 1005, 95, 10, 9, 8, None),
        ("LTEXT", "B2", 1006, 95, 26, 9, 8, None),
        ("LTEXT", "B3", 1007, 95, 42, 9, 8, None),
        ("LTEXT", "B4", 1008, 95, 57, 9, 8, None),
    ],
}

KEY_TEST_DIALOG = {
    "head": ("103 DIALOG 0, 0, 127, 47", 0x80C800C0, "コントローラーテスト", (10, "ＭＳ ゴシック")),
    "controls": [
        # Hidden: no WS_VISIBLE.
        ("EDITTEXT", None, 2101, 3, 34, 6, 13, 0x40000000 | WS_TABSTOP | 0x0800),
        ("LTEXT", "ESCキーで終了します", 65535, 14, 29, 80, 8, None),
        ("LTEXT", "キー状態", 65535, 8, 15, 31, 8, None),
        ("LTEXT", " " * 10, 2301, 57, 11, 49, 12, WS_VISIBLE_CHILD | WS_BORDER | WS_GROUP),
    ],
}

VERSION_STRINGS = {
    "FileDescription": "Config",
    "InternalName": "Config.exe",
    "OriginalFilename": "Config.exe",
}


def project_version(exe):
    """CMake's project version from the build folder of CONFIG_EXE, as "1, 0, 0, 0"."""
    cache = os.path.join(os.path.dirname(os.path.abspath(exe)), "CMakeCache.txt")
    with open(cache, encoding="utf-8") as lines:
        for line in lines:
            if line.startswith("CMAKE_PROJECT_VERSION:"):
                return ", ".join(line.split("=", 1)[1].strip().split(".") + ["0"])
    raise SystemExit("no CMAKE_PROJECT_VERSION in %s" % cache)


def windres_text(exe, windres):
    return subprocess.run([windres, "-i", exe, "-O", "rc"], check=True, capture_output=True,
                          text=True, encoding="latin-1").stdout


def unescape(literal):
    """A windres string literal, L"..." or "...", as text."""
    body = literal[2:-1] if literal.startswith("L") else literal[1:-1]

    def char(match):
        escape = match.group(1)
        if escape.startswith("x"):
            return chr(int(escape[1:], 16))
        return chr(int(escape, 8))

    return re.sub(r"\\(x[0-9a-fA-F]{1,4}|[0-7]{1,3})", char, body.replace('""', '"'))


def dialog_block(text, head):
    start = text.find(head)
    if start < 0:
        return None
    end = text.find("\nEND", start)
    return text[start:end]


CONTROL = re.compile(r'^\s+(\w+)\s+(?:(L?"(?:[^"]|"")*"),\s*)?(\d+),\s*(\d+),\s*(\d+),\s*(\d+),'
                     r'\s*(\d+)(?:,\s*(0x[0-9a-fA-F]+))?')


def parse_controls(block):
    controls = []
    for line in block.splitlines():
        match = CONTROL.match(line)
        if match and match.group(1) not in ("STYLE", "CAPTION", "FONT"):
            kind, literal, *numbers, style = match.groups()
            text = unescape(literal) if literal else None
            controls.append((kind, text, *map(int, numbers), int(style, 16) if style else None))
    return controls


def check_dialog(text, dialog, faults):
    head, style, caption, (size, face) = dialog["head"]
    block = dialog_block(text, head)
    if block is None:
        faults.append("no template %s" % head)
        return
    if "STYLE 0x%x" % style not in block:
        faults.append("%s: style is not 0x%X" % (head, style))
    captions = re.findall(r'CAPTION (L?".*")', block)
    if not captions or unescape(captions[0]) != caption:
        faults.append("%s: caption %r, not %r" % (head, captions, caption))
    fonts = re.findall(r'FONT (\d+), (L?".*")', block)
    if not fonts or (int(fonts[0][0]), unescape(fonts[0][1])) != (size, face):
        faults.append("%s: font %r, not %r" % (head, fonts, (size, face)))
    actual = parse_controls(block)
    if len(actual) != len(dialog["controls"]):
        faults.append("%s: %d controls, not %d" % (head, len(actual), len(dialog["controls"])))
    for index, (got, want) in enumerate(zip(actual, dialog["controls"])):
        # A None style in the table: any static text style windres calls LTEXT.
        want_style = want[7] if want[7] is not None else got[7]
        if got[:7] != want[:7] or got[7] != want_style:
            faults.append("%s control %d: %r, not %r" % (head, index + 1, got, want))


def check_icon(text, faults):
    block = dialog_block(text, "104 14 /* RT_GROUP_ICON */")
    if block is None or "Has 1 elements" not in block or '"\\040\\040\\000\\000", 1, 8' not in block:
        faults.append("icon group 104 is not one 32x32 8-bit image")


def check_version(text, version, faults):
    block = dialog_block(text, "1 VERSIONINFO")
    if block is None:
        faults.append("no version block")
        return
    for line in ("FILEVERSION " + version, "PRODUCTVERSION " + version, 'BLOCK "041104b0"',
                 'VALUE "Translation", 0x411, 1200'):
        if line not in block:
            faults.append("version block lacks %s" % line)
    strings = dict(VERSION_STRINGS, FileVersion=version, ProductVersion=version)
    for name, value in strings.items():
        if 'VALUE "%s", "%s"' % (name, value) not in block:
            faults.append("version block: %s is not %r" % (name, value))


def check_manifest(text, faults):
    block = dialog_block(text, "1 24 /* RT_MANIFEST */")
    if block is None:
        faults.append("no manifest")
        return
    for needed in ("Microsoft.Windows.Common-Controls", 'version=""6.0.0.0""', "<dpiAware",
                   ">true</dpiAware>", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",
                   "35138b9a-5d96-4fbd-8e2d-a2440225f93a"):
        if needed not in block:
            faults.append("manifest lacks %s" % needed)
    # No elevation request: UAC file virtualization must stay as the game has it.
    if "<requestedExecutionLevel" in block or "<trustInfo" in block:
        faults.append("manifest asks for an execution level")


def check_languages(text, faults):
    languages = set(re.findall(r"^LANGUAGE (\d+), (\d+)", text, re.M))
    if languages != {("17", "1")}:
        faults.append("resource languages %r, not only 0x0411" % sorted(languages))


def main():
    exe = sys.argv[1]
    windres = sys.argv[2] if len(sys.argv) > 2 else "i686-w64-mingw32-windres"
    text = windres_text(exe, windres)
    faults = []
    for dialog in (MAIN_DIALOG, BUTTON_ASSIGN_DIALOG, KEY_TEST_DIALOG):
        check_dialog(text, dialog, faults)
    check_icon(text, faults)
    check_version(text, project_version(exe), faults)
    check_manifest(text, faults)
    check_languages(text, faults)
    for fault in faults:
        print("FAIL:", fault)
    print("resources of %s: %s" % (exe, "%d faults" % len(faults) if faults else "as expected"))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
