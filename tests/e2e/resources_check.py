#!/usr/bin/env python3
"""resources_check.py CONFIG_EXE [WINDRES]: Config.exe's dialog templates (ids, kinds, texts,
positions, styles, order) in Japanese, the English ones equal to them but for their texts and font,
icon, version block and manifest, in windres's text, as written here;
the subsystem version of Config.exe and of kvset.exe beside it (tools/kvset), and that both import
only DLLs that every Windows has, in objdump's."""

import os, re, subprocess, sys

DIALOGS = '''
"INITIALPAGE" DIALOG 0, 0, 199, 153
STYLE 0x90c800c0
CAPTION "設定"
FONT 10, "ＭＳ ゴシック"
BEGIN
  COMBOBOX 1000, 8, 76, 71, 95, 0x50210403
  AUTOCHECKBOX "ウィンドウモードで起動する", 2104, 8, 12, 112, 10, 0x50010003
  AUTOCHECKBOX "６４０×４８０で起動する", 1041, 8, 37, 112, 10, 0x50010003
  AUTOCHECKBOX "画面を３２０×２４０を保持する", 1042, 18, 49, 135, 10, 0x50010003
  LTEXT "キーの設定内容を５つまで保存しておくことができます", 65535, 82, 70, 93, 28, 0x50020000
  PUSHBUTTON "キーコンフィグ", 1017, 8, 95, 61, 14, 0x50010000
  PUSHBUTTON "キーテスト", 1034, 8, 112, 61, 14, 0x50010000
  PUSHBUTTON "設定する", 1, 146, 100, 50, 14, 0x50010000
  PUSHBUTTON "設定しない", 2, 146, 116, 50, 14, 0x50010000
  PUSHBUTTON "スコア初期化", 3, 146, 133, 50, 14, 0x50010000
END
---
102 DIALOG 0, 0, 187, 93
STYLE 0x80c800c0
CAPTION "ボタン設定"
FONT 9, "ＭＳ Ｐゴシック"
BEGIN
  PUSHBUTTON "ｷｬﾝｾﾙ", 2, 130, 72, 50, 14, 0x50010000
  DEFPUSHBUTTON "設定する", 1018, 29, 72, 38, 13, 0x50010001
  EDITTEXT 1030, 36, 7, 40, 14, 0x50810880
  EDITTEXT 1031, 36, 23, 40, 14, 0x50810880
  EDITTEXT 1032, 36, 39, 40, 14, 0x50810880
  EDITTEXT 1020, 36, 53, 40, 14, 0x50810880
  EDITTEXT 1021, 109, 7, 40, 14, 0x50810880
  EDITTEXT 1022, 109, 24, 40, 14, 0x50810880
  EDITTEXT 1023, 109, 40, 40, 14, 0x50810880
  EDITTEXT 1024, 109, 53, 40, 14, 0x50810880
  PUSHBUTTON "OK", 1, 75, 72, 50, 14, 0x50010000
  LTEXT "UP", 1001, 9, 11, 10, 8, 0x50020000
  LTEXT "DOWN", 1002, 7, 26, 20, 8, 0x50020000
  LTEXT "LEFT", 1003, 7, 42, 16, 8, 0x50020000
  LTEXT "RIGHT", 1004, 7, 57, 20, 8, 0x50020000
  LTEXT "B1", 1005, 95, 10, 9, 8, 0x50020000
  LTEXT "B2", 1006, 95, 26, 9, 8, 0x50020000
  LTEXT "B3", 1007, 95, 42, 9, 8, 0x50020000
  LTEXT "B4", 1008, 95, 57, 9, 8, 0x50020000
END
---
103 DIALOG 0, 0, 127, 47
STYLE 0x80c800c0
CAPTION "コントローラーテスト"
FONT 10, "ＭＳ ゴシック"
BEGIN
  EDITTEXT 2101, 3, 34, 6, 13, 0x40010800
  LTEXT "ESCキーで終了します", 65535, 14, 29, 80, 8, 0x50020000
  LTEXT "キー状態", 65535, 8, 15, 31, 8, 0x50020000
  LTEXT "          ", 2301, 57, 11, 49, 12, 0x50820000
END
'''
# The English templates: the Japanese ones with these texts and fonts in place of theirs.
ENGLISH = {"設定": "Settings", "ウィンドウモードで起動する": "Start in window mode",
           "６４０×４８０で起動する": "Start at 640x480",
           "画面を３２０×２４０を保持する": "Keep the screen at 320x240",
           "キーの設定内容を５つまで保存しておくことができます": "Up to five key setups can be kept",
           "キーコンフィグ": "Key config", "キーテスト": "Key test", "設定する": "Save",
           "設定しない": "Don't save", "スコア初期化": "Reset scores", "ボタン設定": "Buttons",
           "ｷｬﾝｾﾙ": "Cancel", "コントローラーテスト": "Controller test",
           "ESCキーで終了します": "Esc ends the test", "キー状態": "Keys",
           "ＭＳ ゴシック": "Tahoma", "ＭＳ Ｐゴシック": "Tahoma"}
ENGLISH_FONT_SIZE = "FONT 8,"
in_english = lambda templates: re.sub(r"^FONT \d+,", ENGLISH_FONT_SIZE, re.sub(
    r'"([^"\n]*)"', lambda m: '"%s"' % ENGLISH.get(m.group(1), m.group(1)), templates), flags=re.M)
JAPANESE, IN_ENGLISH = ("17", "1"), ("9", "1")  # LANGUAGE lines: LANG_JAPANESE, LANG_ENGLISH
# Icon group 104's images in order: (size, the image's first two words), a bitmap's header
# naming its width, the 256-pixel one a PNG signature.
ICONS = [(16, "0x28 0x10"), (24, "0x28 0x18"), (32, "0x28 0x20"), (48, "0x28 0x30"),
         (256, "0x474e5089 0xa1a0a0d")]
VERSION = '''
 FILEVERSION 1, 0, 0, 0
 PRODUCTVERSION 1, 0, 0, 0
    BLOCK "041104b0"
      VALUE "FileDescription", "Config"
      VALUE "FileVersion", "1, 0, 0, 0"
      VALUE "InternalName", "Config.exe"
      VALUE "OriginalFilename", "Config.exe"
      VALUE "ProductVersion", "1, 0, 0, 0"
    VALUE "Translation", 0x411, 1200
'''
MANIFEST = ('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"', '>true</dpiAware>',
            "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
            '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true'
            '</longPathAware>')
SUBSYSTEM = "MajorSubsystemVersion\t6\nMinorSubsystemVersion\t1\n"  # Windows 7
# No elevation request: UAC file virtualization must stay as the game has it.
NO_MANIFEST = ("<requestedExecutionLevel", "<trustInfo")


def decoded(literal):
    """A windres string literal, L"..." or "...", as text in double quotes."""
    body = literal[literal.index('"') + 1 : -1].replace('""', '"')
    return '"%s"' % re.sub(r"\\(x[0-9a-fA-F]{1,4}|[0-7]{1,3})", lambda m: chr(
        int(m.group(1)[1:], 16) if m.group(1)[0] == "x" else int(m.group(1), 8)), body)


def icons(text):
    """Group 104's entries as (size, first two words of the image they name)."""
    group = re.search(r"^104 14 /\* RT_GROUP_ICON \*/\n(?:.*\n){3}((?:    \".*\n)*)", text, re.M)
    images = {index: first + " " + second for index, first, second in re.findall(
        r"^(\d+) 3 /\* RT_ICON \*/\nBEGIN\n  (0x\w+)L *, (0x\w+)L", text, re.M)}
    return [(ord(size) or 256, images.get(index)) for size, index in re.findall(
        r'^    "(.).\0\0", 1, \d+, \w+, (\d+)', group.group(1) if group else "", re.M)]


def block_faults(blocks, text, where):
    """Each block of lines missing from text, or out of order there."""
    found = []
    for block in blocks:
        if block not in text:
            missing = [line.strip() for line in block.splitlines() if line not in text]
            found.append("%s%s: %s" % (where, block.split("\n")[0].strip(),
                                       "no line " + missing[0] if missing else "lines out of order"))
    return found


def faults(text):
    """Each dialog template as one block of lines in order, in Japanese and in English, the
    icons, each version line, the manifest."""
    found = ["icon group 104 holds %r" % icons(text)] * (icons(text) != ICONS)
    sections = {}  # {LANGUAGE line's numbers: the resources that follow each such line}
    for language, sublanguage, section in re.findall(
            r"^LANGUAGE (\d+), (\d+)\n((?:(?!LANGUAGE ).*\n)*)", text, re.M):
        sections[(language, sublanguage)] = sections.get((language, sublanguage), "") + section
    japanese = [block.strip("\n") for block in DIALOGS.split("---")]
    found += block_faults(japanese + [line + "\n" for line in VERSION.split("\n")[1:-1]],
                          sections.get(JAPANESE, ""), "")
    found += block_faults(map(in_english, japanese), sections.get(IN_ENGLISH, ""), "English ")
    manifest = "".join(re.findall(r'^  "(.*)\\n"$', text, re.M))
    found += ["manifest lacks " + part for part in MANIFEST if part not in manifest]
    found += ["manifest asks for an execution level"] * any(p in manifest for p in NO_MANIFEST)
    return found + ["resource languages %r, not 0x0411 and 0x0409" % sorted(sections)] * (
        sorted(sections) != sorted((JAPANESE, IN_ENGLISH)))


# What every Windows has; anything else (libstdc++, libgcc, a DLL of the build) would be missing.
SYSTEM_DLLS = "kernel32 user32 gdi32 msvcrt shell32 advapi32 comctl32 ole32 winmm dinput version"


def header_faults(exe, objdump):
    """Config.exe and kvset.exe beside it: a subsystem other than 6.1, a DLL not of Windows."""
    found = []
    for program in (exe, os.path.join(os.path.dirname(exe), "tools", "kvset", "kvset.exe")):
        dump = subprocess.run([objdump, "-p", program], check=True, capture_output=True,
                              text=True).stdout
        name = os.path.basename(program)
        found += ["%s: subsystem version not 6.1" % name] * (SUBSYSTEM not in dump)
        found += ["%s imports %s" % (name, dll) for dll in re.findall(
            r"DLL Name: (\S+)\.dll", dump, re.I) if dll.lower() not in SYSTEM_DLLS.split()]
    return found


if __name__ == "__main__":
    exe, windres = sys.argv[1], (sys.argv[2:] or ["i686-w64-mingw32-windres"])[0]
    raw = subprocess.run([windres, "-i", exe, "-O", "rc"], check=True, capture_output=True,
                         text=True, encoding="latin-1").stdout
    found = faults(re.sub(r'L?"(?:[^"\n]|"")*"', lambda m: decoded(m.group(0)), raw))
    found += header_faults(exe, windres.replace("windres", "objdump"))
    print("".join("FAIL: %s\n" % fault for fault in found) + "resources of %s: %s" % (
        exe, "%d faults" % len(found) if found else "as expected"))
    sys.exit(1 if found else 0)
