"""The end-to-end cases, one row each: files placed, steps that drive the dialogs,
files expected. Only what the Win32 layer decides runs here: message routing, real
key presses (xdotool types them into the X11 window), joysticks through the winmm.dll
stand-in, locales, Windows paths and the save-failure box. Every expected KV.set
comes from kvset_model, never from the program.
"""

import os
import random
import types

import kvset_model as kv
import resources_check
from wine_session import MAIN_TITLE as MAIN, check

DATA_KV, LOCAL_KV, LOCAL_TXT = "Data/KV.set", "LocalConfig/KV.set", "LocalConfig/LocalConfig.Txt"
WINDOW_MODE, START_640X480, KEEP_320X240, SLOT_LIST = 2104, 1041, 1042, 1000
CONFIRM, CANCEL, SCORE_RESET, KEY_CONFIG, KEY_TEST, BOX_TEXT = 1, 2, 3, 1017, 1034, 0xFFFF
RESET_BOX, ASSIGN, KEY_TEST_TITLE = "スコア初期化の確認", "ボタン設定", "コントローラーテスト"
QUESTION = "スコアを初期化しますか？"
MAIN_TEXTS = resources_check.control_texts('"INITIALPAGE"')  # the template's texts
SLOT_ENTRIES = ["Config: %d" % slot for slot in range(kv.SLOT_COUNT)]


def Case(name, files, steps, writes, japanese=True, joysticks=None, start_in="", exit_code=0):
    """files: {path: bytes, or None for a folder} placed in the game folder; steps:
    functions of the session, the last ends the dialog; writes: {path: bytes} the run
    must leave, nothing else may change; japanese: else an English locale; joysticks:
    joysticks.txt at start-up (None: Wine's own winmm); start_in: the folder in the
    game folder that Config.exe starts in."""
    return types.SimpleNamespace(**locals())


def with_ints(file_bytes, *changes):
    """file_bytes with (offset, value) changes."""
    image = bytearray(file_bytes)
    for offset, value in changes:
        kv.put_int(image, offset, value)
    return bytes(image)


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


CRAFTED = crafted_file()
SCORES = kv.saved()[: kv.RANKINGS] + random.Random(3884).randbytes(kv.SIZE - kv.RANKINGS)
THEIRS = SCORES[: kv.RANKINGS] + random.Random(1).randbytes(kv.SIZE - kv.RANKINGS)
BOTH_OPTIONS = with_ints(kv.saved(), (kv.START_640X480, 1), (kv.KEEP_320X240, 1))
# Window mode ticked, then slot 2 chosen, then 640x480 cleared: 320x240 kept.
SWITCHED = with_ints(BOTH_OPTIONS, (kv.FULL_SCREEN, 0), (kv.CURRENT_SLOT, 2), (kv.START_640X480, 0))
# Their file with only the bytes this run changed (window mode) put on top.
MERGED = bytes(m if m != l else t for m, l, t in zip(
    kv.saved(SCORES, lambda image: kv.put_int(image, kv.FULL_SCREEN, 0)), kv.loaded_image(SCORES),
    THEIRS))
SAVE_FAILED = ("設定ファイル Z:%s を保存できませんでした。\nファイルが読み取り専用です。\n\n"
               "[再試行] でもう一度保存します。[キャンセル] で保存せずに終了します。")
BOX_CANCEL, BOX_RETRY = 2, 4
JAPANESE, FOLDER_5C = "ゲーム", "表ソ"  # both characters of 表ソ have 0x5C as second CP932 byte
JAPANESE_KV = "%s/%s/%s" % (JAPANESE, FOLDER_5C, DATA_KV)
LONG = "a" * 120 + "/" + "b" * 120  # past 260 bytes of path


def click(control, title=MAIN):
    return lambda session: session.value("click", title, control)


def wait(title, opens=True, timeout_s=10):
    return lambda session: session.wait_window(title, opens, timeout_s)


def escape(title=MAIN):
    return lambda session: session.focus_keyboard(title) or session.xdotool("key", "Escape")


def texts(session):
    """The template's texts and the slot entries, in the locale's code page."""
    check("the controls", dict(zip(MAIN_TEXTS, session.value("text", MAIN, *MAIN_TEXTS))), MAIN_TEXTS)
    check("the slot list", session.value("items", MAIN, SLOT_LIST), SLOT_ENTRIES)


def shows(file_bytes):
    """The main dialog shows the record loaded from file_bytes as the model says."""

    def step(session):
        boxes = {"window_mode": ("checked", WINDOW_MODE), "start_640x480": ("checked", START_640X480),
                 "keep_320x240": ("checked", KEEP_320X240), "keep_enabled": ("enabled", KEEP_320X240)}
        seen = {name: session.value(how, MAIN, box) == ["1"] for name, (how, box) in boxes.items()}
        seen["slot"] = int(session.value("cursel", MAIN, SLOT_LIST)[0])
        check("the main dialog", seen, kv.dialog_shows(kv.loaded_image(file_bytes)))
        check("the slot list", session.value("text", MAIN, SLOT_LIST), [SLOT_ENTRIES[seen["slot"]]])

    return step


def score_reset(button):
    """The score-reset box asks, is answered with button (1 OK, 2 refused) and goes."""

    def step(session):
        click(SCORE_RESET)(session)
        session.wait_window(RESET_BOX)
        check("the box asks", session.wait_text(RESET_BOX, BOX_TEXT, QUESTION), QUESTION)
        click(button, RESET_BOX)(session)
        session.wait_window(RESET_BOX, opens=False)
        session.wait_window(MAIN, timeout_s=1)

    return step


def save_failure(button):
    """The save into a read-only file fails: the box names the file and the cause and
    offers 再試行 (taken after read-only is cleared) and キャンセル."""

    def step(session):
        os.chmod(session.path(DATA_KV), 0o444)
        click(CONFIRM)(session)
        expected = SAVE_FAILED % session.path(DATA_KV).replace("/", "\\")
        check("the save-failure box", session.wait_text(MAIN, BOX_TEXT, expected, 10), expected)
        offers = session.value("text", MAIN, BOX_RETRY, BOX_CANCEL)
        check("the box offers", [offers[0][:3], offers[1]], ["再試行", "キャンセル"])
        if button == BOX_RETRY:
            os.chmod(session.path(DATA_KV), 0o640)
        click(button)(session)

    return step


def save_theirs(session):
    """Another program saves KV.set while the dialog is open."""
    with open(session.path(DATA_KV), "wb") as file:
        file.write(THEIRS)


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
    """The file a confirmed run writes after (position, source, code) were bound in
    controller 1 of slot 0."""

    def change(image):
        for position, source, code in bindings:
            kv.set_binding(image, 0, 0, position, source, code)

    return {DATA_KV: kv.saved(None, change, joystick_1)}


def expect_focus(session, field):
    check("the focus", int(session.value("focused", ASSIGN)[0]), field)


def capture(position, text):
    """The field at position comes to show text and the focus moves on."""

    def step(session):
        check("field %d" % FIELDS[position], session.wait_text(ASSIGN, FIELDS[position], text), text)
        expect_focus(session, NEXT_FOCUS[position])

    return step


def assign(*captures, keys=(), joystick_1=False, replug=None, ending=ASSIGN_CONFIRM, position=UP):
    """Opens the button assignment, focuses the field at position (replug: joysticks.txt
    from then on), holds keys for the captures, ends it by ending, confirms."""

    def open_and_focus(session):
        click(KEY_CONFIG)(session)
        session.wait_window(ASSIGN)
        check("the fields", session.value("text", ASSIGN, *FIELDS), DEFAULT_FIELDS[joystick_1])
        if replug is not None:  # read by the program during the focusing below
            session.set_joysticks(replug)
        if keys:
            session.focus_keyboard(ASSIGN)
        session.value("focus", ASSIGN, FIELDS[position])
        expect_focus(session, FIELDS[position])
        session.keydown(*keys)

    def end(session):
        session.keyup(*keys)
        click(ending, ASSIGN)(session)
        session.wait_window(ASSIGN, opens=False)

    return [open_and_focus, *captures, end, click(CONFIRM)]


def x_waits_for_z(session):
    check("DOWN while z is still held", session.wait_text(ASSIGN, FIELDS[DOWN], "x", 0.5), "↓")
    session.keyup("z")


def key_test_shows(keys, state):
    """Holding keys, the key test shows state: U D L R 1 2 3 4 for controller 1."""

    def step(session):
        session.keydown(*keys)
        seen = session.wait_text(KEY_TEST_TITLE, 2301, state)
        session.keyup(*keys)
        check("holding %s" % (keys,), seen, state)

    return step


def pads(text):
    return lambda session: session.set_joysticks(text)


DOWN_KEY, DOWN_HELD = (UP, kv.KEYBOARD, 208), capture(UP, "↓")
KEY_TEST_STEPS = [click(KEY_TEST), wait(KEY_TEST_TITLE),
                  lambda session: session.focus_keyboard(KEY_TEST_TITLE)] + [
    key_test_shows(keys, state) for keys, state in (  # i is controller 2's UP: never shown
        (("Up", "z"), "U   1   "), ((), " " * 8), (("Left", "Right", "v"), "  LR   4"),
        (("i", "x"), "     2  "), ((), " " * 8))] + [
    escape(KEY_TEST_TITLE), wait(KEY_TEST_TITLE, False), wait(MAIN, True, 1), click(CONFIRM)]

CASES = [
    Case("Japanese locale: texts, defaults shown, confirmed into Data", {"Data": None},
         [texts, shows(None), click(CONFIRM)], {DATA_KV: kv.saved()}),
    Case("English locale: texts, a LocalConfig file shown before Data's, Cancel writes nothing",
         {LOCAL_KV: CRAFTED, DATA_KV: SCORES}, [texts, shows(CRAFTED), click(CANCEL)], {},
         japanese=False),
    Case("Japanese game folder, DataPath into 表ソ (0x5C second bytes): 5000 bytes saved whole",
         {JAPANESE + "/" + LOCAL_TXT: b"DataPath " + FOLDER_5C.encode("cp932") + b"\r\n",
          JAPANESE_KV: CRAFTED + bytes(316), JAPANESE + "/" + DATA_KV: SCORES},
         [shows(CRAFTED), click(CONFIRM)], {JAPANESE_KV: kv.saved(CRAFTED)}, start_in=JAPANESE),
    Case("DataPath into a folder past 260 bytes, an empty KV.set there counts as found",
         {LOCAL_TXT: b"DataPath %s\r\nDataPath %s\r\n" % tuple(LONG.encode().split(b"/")),
          LONG + "/" + DATA_KV: b"", "Data": None}, [shows(b""), click(CONFIRM)],
         {LONG + "/" + DATA_KV: kv.saved()}),
    Case("window mode, slot switch and 640x480 cleared: ticks kept", {DATA_KV: BOTH_OPTIONS},
         [click(WINDOW_MODE), lambda session: session.value("select", MAIN, SLOT_LIST, 2),
          click(START_640X480), shows(SWITCHED), click(CONFIRM)], {DATA_KV: kv.saved(SWITCHED)}),
    Case("score reset with OK, then confirmed", {DATA_KV: SCORES}, [score_reset(1), click(CONFIRM)],
         {DATA_KV: kv.saved(SCORES, kv.reset_rankings)}),
    Case("score reset refused, then confirmed", {DATA_KV: SCORES}, [score_reset(2), click(CONFIRM)],
         {DATA_KV: kv.saved(SCORES)}),
    Case("score reset with OK, then Escape writes nothing", {DATA_KV: SCORES},
         [score_reset(1), escape()], {}),
    Case("close box writes nothing", {"Data": None, LOCAL_KV: CRAFTED},
         [shows(CRAFTED), lambda session: session.value("close", MAIN)], {}),
    Case("read-only KV.set: the box names it and why; retried once writable, saved",
         {DATA_KV: SCORES}, [save_failure(BOX_RETRY)], {DATA_KV: kv.saved(SCORES)}),
    Case("read-only KV.set: the failure box cancelled, nothing written, exit 1",
         {DATA_KV: SCORES}, [save_failure(BOX_CANCEL)], {}, exit_code=1),
    Case("KV.set changed on disk while the dialog is open keeps those bytes", {DATA_KV: SCORES},
         [shows(SCORES), save_theirs, click(WINDOW_MODE), click(CONFIRM)], {DATA_KV: MERGED}),
] + [Case(name, {"Data": None}, steps, writes, joysticks=joysticks)
     for name, steps, writes, joysticks in (
    ("assign: Down into UP, confirmed", assign(DOWN_HELD, keys=["Down"]), assigned(DOWN_KEY), None),
    ("assign: Down into UP, then Cancel keeps the key map",
     assign(DOWN_HELD, keys=["Down"], ending=ASSIGN_CANCEL), assigned(), None),
    ("assign: pad defaults at start-up; Down into UP with OK after joystick 1 is unplugged",
     assign(DOWN_HELD, keys=["Down"], joystick_1=True, replug=joystick(1, posfail=1),
            ending=ASSIGN_OK), assigned(DOWN_KEY, joystick_1=True), joystick(1)),
    ("assign: Down into UP beside joystick 1 held left since start-up",
     assign(DOWN_HELD, keys=["Down"], joystick_1=True), assigned(DOWN_KEY, joystick_1=True),
     joystick(1, x=0)),
    ("assign: z and x held, z into UP, then x into DOWN",
     assign(capture(UP, "z"), x_waits_for_z, capture(DOWN, "x"), keys=["z", "x"]),
     assigned((UP, kv.KEYBOARD, 44), (DOWN, kv.KEYBOARD, 45)), None),
    ("assign: joystick 2 button 1 into RIGHT",
     assign(pads(joystick(2, buttons=1)), capture(RIGHT, "PAD2:B1"), pads(joystick(2)),
            position=RIGHT), assigned((RIGHT, 2, 1)), joystick(2)),
    ("key test: held keys shown, Escape ends it", KEY_TEST_STEPS, assigned(), None))]
