"""The end-to-end cases: files placed, the dialogs driven, files expected.

Only what the Win32 layer decides runs here: message routing, real key presses
(xdotool types them into the X11 window), joysticks through the winmm.dll
stand-in, locales, Windows paths and the save-failure box. Every expected
KV.set comes from kvset_model, never from the program.
"""

import os
import random
import stat
import types

import kvset_model as kv
import resources_check
from wine_session import MAIN_TITLE, expect

DATA_KV, LOCAL_KV, LOCAL_TXT = "Data/KV.set", "LocalConfig/KV.set", "LocalConfig/LocalConfig.Txt"
WINDOW_MODE, START_640X480, KEEP_320X240, SLOT_LIST = 2104, 1041, 1042, 1000
CONFIRM, CANCEL, SCORE_RESET, KEY_CONFIG, KEY_TEST, BOX_TEXT = 1, 2, 3, 1017, 1034, 0xFFFF
SCORE_RESET_TITLE, ASSIGN_TITLE, KEY_TEST_TITLE = "スコア初期化の確認", "ボタン設定", "コントローラーテスト"
MAIN_TEXTS = resources_check.control_texts('"INITIALPAGE"')  # the template's texts
SLOT_ENTRIES = ["Config: %d" % slot for slot in range(kv.SLOT_COUNT)]


def Case(name, files, drive, writes, japanese=True, joysticks=None, start_in="", exit_code=0):
    """files: {path: bytes, or None for a folder} placed in the game folder;
    drive(session) ends the dialog; writes: {path: bytes} the run must leave,
    nothing else may change; japanese: else an English locale; joysticks:
    joysticks.txt at start-up (None: Wine's own winmm); start_in: the folder
    in the game folder that Config.exe starts in."""
    return types.SimpleNamespace(**locals())


def crafted_file():
    """Random bytes wherever the program keeps what it loaded, odd values elsewhere."""
    rng = random.Random(4684)
    image = bytearray(rng.randbytes(kv.SIZE))
    for binding in range(kv.SLOT_COUNT * 32):  # keyboard, any key, the handler word 0
        at = kv.key_map_offset(binding // 32) + kv.BINDING_SIZE * (binding % 32)
        image[at : at + 12] = bytes(4) + rng.randrange(1, 256).to_bytes(4, "little") + bytes(4)
    image[kv.OPTION_BITS] |= 3
    image[kv.SOUND_FOLDER : kv.SOUND_FOLDER + 15] = b"D:\\Music\\Game\\\0"
    return with_ints(image, (kv.CURRENT_SLOT, 3), (kv.FULL_SCREEN, 2), (kv.START_640X480, 0),
                     (kv.KEEP_320X240, 1), (kv.MODE_BITS, 0xF6), (kv.FOUR_WAY_CHOICE, 3),
                     (kv.NUMBER_A, 7), (kv.NUMBER_B, -5), (kv.EXTRA_FLAG, 1))


def with_ints(file_bytes, *changes):
    """file_bytes with (offset, value) changes."""
    image = bytearray(file_bytes)
    for offset, value in changes:
        kv.put_int(image, offset, value)
    return bytes(image)


CRAFTED = crafted_file()
SCORES = kv.saved()[: kv.RANKINGS] + random.Random(3884).randbytes(kv.SIZE - kv.RANKINGS)
BOTH_OPTIONS = with_ints(kv.saved(), (kv.START_640X480, 1), (kv.KEEP_320X240, 1))
# Window mode ticked, then slot 2 chosen, then 640x480 cleared: 320x240 kept.
SWITCHED = with_ints(BOTH_OPTIONS, (kv.FULL_SCREEN, 0), (kv.CURRENT_SLOT, 2), (kv.START_640X480, 0))


def expect_window(session, title, opens=True, timeout_s=10):
    expect(session.wait_window(title, timeout_s, "wait" if opens else "gone"),
           "%r did not %s" % (title, "open" if opens else "close"))


def expect_shows(session, image):
    """The main dialog shows the record as the model says it must."""
    boxes = (("window_mode", "checked", WINDOW_MODE), ("start_640x480", "checked", START_640X480),
             ("keep_320x240", "checked", KEEP_320X240), ("keep_enabled", "enabled", KEEP_320X240))
    seen = {name: session.value(how, MAIN_TITLE, box) == ["1"] for name, how, box in boxes}
    seen["slot"] = int(session.value("cursel", MAIN_TITLE, SLOT_LIST)[0])
    expect(seen == kv.dialog_shows(image), "shows %s, expected %s" % (seen, kv.dialog_shows(image)))
    entry = session.text(MAIN_TITLE, SLOT_LIST)
    expect(entry == SLOT_ENTRIES[seen["slot"]], "slot list shows %r" % entry)


def press_escape(session, title):
    session.focus_keyboard(title)
    session.xdotool("key", "Escape")


ENDINGS = {"confirm": lambda session: session.click(MAIN_TITLE, CONFIRM),
           "cancel": lambda session: session.click(MAIN_TITLE, CANCEL),
           "escape": lambda session: press_escape(session, MAIN_TITLE),
           "close box": lambda session: session.value("close", MAIN_TITLE)}


def shows_then(file_bytes, how, texts=False):
    """Reads the texts when asked, checks what is shown, ends the dialog by `how`."""

    def drive(session):
        if texts:
            seen = dict(zip(MAIN_TEXTS, session.value("text", MAIN_TITLE, *MAIN_TEXTS)))
            expect(seen == MAIN_TEXTS, "the controls read %s" % seen)
            entries = session.value("items", MAIN_TITLE, SLOT_LIST)
            expect(entries == SLOT_ENTRIES, "slot list holds %r" % entries)
        expect_shows(session, kv.loaded_image(file_bytes))
        ENDINGS[how](session)

    return drive


def switch_slot_and_clear_640x480(session):
    session.click(MAIN_TITLE, WINDOW_MODE)
    session.value("select", MAIN_TITLE, SLOT_LIST, 2)
    session.click(MAIN_TITLE, START_640X480)
    shows_then(SWITCHED, "confirm")(session)


def answer_score_reset(box_button, how):
    def drive(session):
        session.click(MAIN_TITLE, SCORE_RESET)
        expect_window(session, SCORE_RESET_TITLE)
        question = session.text(SCORE_RESET_TITLE, BOX_TEXT)
        expect(question == "スコアを初期化しますか？", "the box asks %r" % question)
        session.click(SCORE_RESET_TITLE, box_button)
        expect_window(session, SCORE_RESET_TITLE, opens=False)
        expect_window(session, MAIN_TITLE, timeout_s=1)
        ENDINGS[how](session)

    return drive


SAVE_FAILED = ("設定ファイル Z:%s を保存できませんでした。\nファイルが読み取り専用です。\n\n"
               "[再試行] でもう一度保存します。[キャンセル] で保存せずに終了します。")
BOX_CANCEL, BOX_RETRY = 2, 4


def answer_save_failure(box_button):
    """The save into a read-only file fails: the box names the file and the
    cause and offers 再試行 (taken after read-only is cleared) and キャンセル."""

    def drive(session):
        os.chmod(session.path(DATA_KV), stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        session.click(MAIN_TITLE, CONFIRM)
        expected = SAVE_FAILED % session.path(DATA_KV).replace("/", "\\")
        seen = session.text_once_shown(MAIN_TITLE, BOX_TEXT, expected)
        expect(seen == expected, "the save-failure box says %r" % seen)
        buttons = session.value("text", MAIN_TITLE, BOX_RETRY, BOX_CANCEL)
        expect(buttons[0].startswith("再試行") and buttons[1] == "キャンセル",
               "the box offers %r" % buttons)
        if box_button == BOX_RETRY:
            os.chmod(session.path(DATA_KV), stat.S_IRUSR | stat.S_IWUSR | stat.S_IRGRP)
        session.click(MAIN_TITLE, box_button)

    return drive


THEIRS = SCORES[: kv.RANKINGS] + random.Random(1).randbytes(kv.SIZE - kv.RANKINGS)


def change_file_while_open(session):
    """Another program saves KV.set while the dialog is open; the player then
    ticks window mode and confirms."""
    expect_shows(session, kv.loaded_image(SCORES))
    with open(session.path(DATA_KV), "wb") as file:
        file.write(THEIRS)
    session.click(MAIN_TITLE, WINDOW_MODE)
    session.click(MAIN_TITLE, CONFIRM)


def merged_file():
    """Their file with only the bytes this run changed put on top."""
    loaded = kv.loaded_image(SCORES)
    mine = kv.saved(SCORES, lambda image: kv.put_int(image, kv.FULL_SCREEN, 0))
    return bytes(m if m != l else t for m, l, t in zip(mine, loaded, THEIRS))


JAPANESE, FOLDER_5C = "ゲーム", "表ソ"  # both characters of 表ソ have 0x5C as second CP932 byte
LONG = "a" * 120 + "/" + "b" * 120  # past 260 bytes of path


def main_dialog_cases():
    kept, japanese_kv = shows_then(CRAFTED, "confirm"), "%s/%s/%s" % (JAPANESE, FOLDER_5C, DATA_KV)
    return [
        Case("Japanese locale: texts, defaults shown, confirmed into Data", {"Data": None},
             shows_then(None, "confirm", texts=True), {DATA_KV: kv.saved()}),
        Case("English locale: texts, a LocalConfig file shown, Cancel writes nothing",
             {"Data": None, LOCAL_KV: CRAFTED}, shows_then(CRAFTED, "cancel", texts=True), {},
             japanese=False),
        Case("crafted 5000-byte LocalConfig file saved whole but for the read-back fields",
             {LOCAL_KV: CRAFTED + bytes(316), DATA_KV: with_ints(CRAFTED, (kv.CURRENT_SLOT, 1))},
             kept, {LOCAL_KV: kv.saved(CRAFTED)}),
        Case("relative DataPath: loaded from and saved into Other/Data",
             {LOCAL_TXT: b"DataPath Other\r\n", "Other/Data/KV.set": CRAFTED, DATA_KV: SCORES},
             kept, {"Other/Data/KV.set": kv.saved(CRAFTED)}),
        Case("window mode, slot switch and 640x480 cleared: ticks kept", {DATA_KV: BOTH_OPTIONS},
             switch_slot_and_clear_640x480, {DATA_KV: kv.saved(SWITCHED)}),
        Case("score reset with OK, then confirmed", {DATA_KV: SCORES},
             answer_score_reset(1, "confirm"), {DATA_KV: kv.saved(SCORES, kv.reset_rankings)}),
        Case("score reset refused, then confirmed", {DATA_KV: SCORES},
             answer_score_reset(2, "confirm"), {DATA_KV: kv.saved(SCORES)}),
        Case("score reset with OK, then Escape writes nothing", {DATA_KV: SCORES},
             answer_score_reset(1, "escape"), {}),
        Case("close box writes nothing", {"Data": None, LOCAL_KV: CRAFTED},
             shows_then(CRAFTED, "close box"), {}),
        Case("read-only KV.set: the box names it and why; retried once writable, saved",
             {DATA_KV: SCORES}, answer_save_failure(BOX_RETRY), {DATA_KV: kv.saved(SCORES)}),
        Case("read-only KV.set: the failure box cancelled, nothing written, exit 1",
             {DATA_KV: SCORES}, answer_save_failure(BOX_CANCEL), {}, exit_code=1),
        Case("KV.set changed on disk while the dialog is open keeps those bytes",
             {DATA_KV: SCORES}, change_file_while_open, {DATA_KV: merged_file()}),
        Case("Japanese game folder, DataPath into a folder with 0x5C second bytes",
             {JAPANESE + "/" + LOCAL_TXT: b"DataPath " + FOLDER_5C.encode("cp932") + b"\r\n",
              japanese_kv: CRAFTED, JAPANESE + "/" + DATA_KV: SCORES}, kept,
             {japanese_kv: kv.saved(CRAFTED)}, start_in=JAPANESE),
        Case("DataPath into a folder past 260 bytes, an empty KV.set there counts as found",
             {LOCAL_TXT: b"DataPath %s\r\nDataPath %s\r\n" % tuple(LONG.encode().split(b"/")),
              LONG + "/" + DATA_KV: b"", "Data": None}, shows_then(b"", "confirm"),
             {LONG + "/" + DATA_KV: kv.saved()}),
    ]


UP, DOWN, RIGHT = 0, 1, 3  # binding positions
# The field of each position, UP, DOWN, LEFT, RIGHT, B1..B4; after a capture
# the focus moves to the next one, after B4 to "設定する".
FIELDS = (1030, 1031, 1032, 1020, 1021, 1022, 1023, 1024)
ASSIGN_OK, ASSIGN_CONFIRM, ASSIGN_CANCEL = 1, 1018, 2
NEXT_FOCUS = FIELDS[1:] + (ASSIGN_CONFIRM,)
DEFAULT_FIELDS = ("↑ ↓ ← → z x c v".split(),  # at start-up without and with joystick 1
                  ["PAD1:" + name for name in "UP DOWN LEFT RIGHT B1 B2 B3 B4".split()])


def joystick(number, x=32767, y=32767, buttons=0, posfail=0):
    """A joysticks.txt line for the winmm.dll stand-in; joystick 1-4, axes 0-65535."""
    return "%d %d %d %d %d\n" % (number - 1, x, y, buttons, posfail)


def assigned(*bindings, joystick_1=False):
    """The file a confirmed run writes after (position, source, code) were
    bound in controller 1 of slot 0."""

    def change(image):
        for position, source, code in bindings:
            kv.set_binding(image, 0, 0, position, source, code)

    return {DATA_KV: kv.saved(None, change, joystick_1)}


def expect_focus(session, field):
    focus = int(session.value("focused", ASSIGN_TITLE)[0])
    expect(focus == field, "the focus is on %d, not on %d" % (focus, field))


def expect_capture(session, position, text):
    """The field at position shows text and the focus has moved on."""
    seen = session.wait_text(ASSIGN_TITLE, FIELDS[position], text)
    expect(seen == text, "field %d shows %r, expected %r" % (FIELDS[position], seen, text))
    expect_focus(session, NEXT_FOCUS[position])


def assign(captures, joystick_1=False, replug=None, keys=(), ending=ASSIGN_CONFIRM, position=UP):
    """Opens the button assignment, focuses a field (replug: joysticks.txt
    from then on); with keys held runs captures(session); ends it, confirms."""

    def drive(session):
        session.click(MAIN_TITLE, KEY_CONFIG)
        expect_window(session, ASSIGN_TITLE)
        shown = session.value("text", ASSIGN_TITLE, *FIELDS)
        expect(shown == DEFAULT_FIELDS[joystick_1], "the fields show %s" % shown)
        if replug is not None:  # read by the program during the focusing below
            session.set_joysticks(replug)
        if keys:
            session.focus_keyboard(ASSIGN_TITLE)
        session.value("focus", ASSIGN_TITLE, FIELDS[position])
        expect_focus(session, FIELDS[position])
        with session.holding(*keys):
            captures(session)
        session.click(ASSIGN_TITLE, ending)
        expect_window(session, ASSIGN_TITLE, opens=False)
        session.click(MAIN_TITLE, CONFIRM)

    return drive


def z_then_x(session):
    expect_capture(session, UP, "z")
    seen = session.wait_text(ASSIGN_TITLE, FIELDS[DOWN], "x", 0.5)  # five ticks
    expect(seen == "↓", "DOWN shows %r while z is still held" % seen)
    session.xdotool("keyup", "z")
    expect_capture(session, DOWN, "x")


def pad_button_1(session):
    session.set_joysticks(joystick(2, buttons=1))
    expect_capture(session, RIGHT, "PAD2:B1")
    session.set_joysticks(joystick(2))


# Keys held in the key test, in turn, and what it shows meanwhile: U D L R
# 1 2 3 4 for controller 1's inputs; i is controller 2's UP and never shows.
KEY_TEST_STATES = ((("Up", "z"), "U   1   "), ((), " " * 8), (("Left", "Right", "v"), "  LR   4"),
                   (("i", "x"), "     2  "), ((), " " * 8))


def key_test(session):
    session.click(MAIN_TITLE, KEY_TEST)
    expect_window(session, KEY_TEST_TITLE)
    session.focus_keyboard(KEY_TEST_TITLE)
    for keys, state in KEY_TEST_STATES:
        with session.holding(*keys):
            seen = session.wait_text(KEY_TEST_TITLE, 2301, state)
        expect(seen == state, "holding %s shows %r, expected %r" % (keys, seen, state))
    press_escape(session, KEY_TEST_TITLE)
    expect_window(session, KEY_TEST_TITLE, opens=False)
    expect_window(session, MAIN_TITLE, timeout_s=1)
    session.click(MAIN_TITLE, CONFIRM)


def dialog_cases():
    down, down_held = (UP, kv.KEYBOARD, 208), lambda session: expect_capture(session, UP, "↓")
    return [Case(name, {"Data": None}, drive, writes, joysticks=joysticks)
            for name, drive, writes, joysticks in (
        ("assign: Down into UP, confirmed", assign(down_held, keys=["Down"]), assigned(down),
         None),
        ("assign: Down into UP, then Cancel keeps the key map",
         assign(down_held, keys=["Down"], ending=ASSIGN_CANCEL), assigned(), None),
        ("assign: pad defaults at start-up; Down into UP with OK after joystick 1 is unplugged",
         assign(down_held, True, joystick(1, posfail=1), ["Down"], ASSIGN_OK),
         assigned(down, joystick_1=True), joystick(1)),
        ("assign: Down into UP beside joystick 1 held left since start-up",
         assign(down_held, True, keys=["Down"]), assigned(down, joystick_1=True),
         joystick(1, x=0)),
        ("assign: z and x held, z into UP, then x into DOWN", assign(z_then_x, keys=["z", "x"]),
         assigned((UP, kv.KEYBOARD, 44), (DOWN, kv.KEYBOARD, 45)), None),
        ("assign: joystick 2 button 1 into RIGHT", assign(pad_button_1, position=RIGHT),
         assigned((RIGHT, 2, 1)), joystick(2)),
        ("key test: held keys shown, Escape ends it", key_test, assigned(), None))]


def build_cases():
    return main_dialog_cases() + dialog_cases()
