"""The end-to-end cases, one row each: files placed, steps (functions of the session) that
drive the dialogs, files the run must leave; nothing else may change. Only what the Win32
layer decides runs here: message routing, real key presses, joysticks through the winmm.dll
stand-in, locales, Windows paths, the save-failure box. Every expected KV.set is the model's."""

import collections, os, random, re

import kvset_model as kv
import resources_check

MAIN, RESET_BOX, ASSIGN, KEY_TEST_TITLE = "設定", "スコア初期化の確認", "ボタン設定", "コントローラーテスト"
HOST, EMPTY_REGION = "コンフィグ", ["1"]  # the host window shows, for the task bar, but draws nothing
DATA_KV, LOCAL_KV, LOCAL_TXT = "Data/KV.set", "LocalConfig/KV.set", "LocalConfig/LocalConfig.Txt"
WINDOW_MODE, START_640X480, KEEP_320X240, SLOT_LIST = 2104, 1041, 1042, 1000
CONFIRM, CANCEL, SCORE_RESET, KEY_CONFIG, KEY_TEST, BOX_TEXT = 1, 2, 3, 1017, 1034, 0xFFFF
MAIN_TEXTS = {int(i): text for text, i in re.findall(  # the main template's texts: {id: text}
    r'^  \w+ "(.*)", (\d+),', resources_check.DIALOGS.split("---")[0], re.M)}
SLOT_ENTRIES = ["Config: %d" % slot for slot in range(kv.SLOT_COUNT)]
BOXES = {"window_mode": ("checked", WINDOW_MODE), "start_640x480": ("checked", START_640X480),
         "keep_320x240": ("checked", KEEP_320X240), "keep_enabled": ("enabled", KEEP_320X240)}


def check(what, seen, wanted):
    if seen != wanted:
        raise AssertionError("%s: %r, expected %r" % (what, seen, wanted))


# files: {path: bytes, or None for a folder} in the game folder; writes: {path: bytes};
# japanese: else an English locale; english: Config.exe /lang:en; joysticks: joysticks.txt at start-up (None: Wine's
# own winmm); start_in: the folder in the game folder that Config.exe starts in.
Case = collections.namedtuple("Case", "name files steps writes japanese joysticks start_in "
                              "exit_code english", defaults=(True, None, "", 0, False))


# Random bytes wherever the program keeps what it loaded, odd values elsewhere; the
# bindings keyboard ones of any key with the handler word 0.
rng = random.Random(4684)
CRAFTED = bytearray(rng.randbytes(kv.SIZE))
for binding in range(kv.SLOT_COUNT * 32):
    at = kv.key_map_offset(binding // 32) + kv.BINDING_SIZE * (binding % 32)
    CRAFTED[at : at + 12] = bytes(4) + rng.randrange(1, 256).to_bytes(4, "little") + bytes(4)
CRAFTED[kv.OPTION_BITS] |= 3
CRAFTED[kv.SOUND_FOLDER : kv.SOUND_FOLDER + 15] = b"D:\\Music\\Game\\\0"
CRAFTED = kv.with_ints(CRAFTED, (kv.CURRENT_SLOT, 3), (kv.FULL_SCREEN, 2), (kv.START_640X480, 0),
                       (kv.KEEP_320X240, 1), (kv.MODE_BITS, 0xF6), (kv.FOUR_WAY_CHOICE, 3),
                       (kv.NUMBER_A, 7), (kv.NUMBER_B, -5), (kv.EXTRA_FLAG, 1))
SCORES = kv.saved()[: kv.RANKINGS] + random.Random(3884).randbytes(kv.SIZE - kv.RANKINGS)
THEIRS = SCORES[: kv.RANKINGS] + random.Random(1).randbytes(kv.SIZE - kv.RANKINGS)
BOTH_OPTIONS = kv.with_ints(kv.saved(), (kv.START_640X480, 1), (kv.KEEP_320X240, 1))
# Window mode ticked, then slot 2 chosen, then 640x480 cleared: 320x240 kept.
SWITCHED = kv.with_ints(BOTH_OPTIONS, (kv.FULL_SCREEN, 0), (kv.CURRENT_SLOT, 2),
                       (kv.START_640X480, 0))
# Their file with only the bytes this run changed (window mode) put on top.
MERGED = bytes(m if m != l else t for m, l, t in zip(
    kv.saved(kv.with_ints(SCORES, (kv.FULL_SCREEN, 0))), kv.loaded_image(SCORES), THEIRS))
SAVE_FAILED = ("設定ファイル Z:%s を保存できませんでした。\n%s\n\n"
               "[再試行] でもう一度保存します。[キャンセル] で保存せずに終了します。")
READ_ONLY, IN_USE = "ファイルが読み取り専用です。", "ファイルを他のプログラムが使用中です。"
# What /lang:en shows instead; a session translates the titles and texts it is given.
ENGLISH = {**resources_check.ENGLISH, HOST: "Config", "スコア初期化の確認": "Reset scores",
           "スコアを初期化しますか？": "Reset the scores?", READ_ONLY: "The file is read-only.",
           SAVE_FAILED: "Could not save the settings file Z:%s.\n%s\n\n"
                        "[Retry] saves again. [Cancel] ends without saving.",
           IN_USE: "Another program is using the file.", "再試行": "Retry", "キャンセル": "Cancel"}
BOX_CANCEL, BOX_RETRY = 2, 4
JAPANESE, FOLDER_5C = "ゲーム", "表ソ"  # both characters of 表ソ have 0x5C as second CP932 byte
JAPANESE_KV = "%s/%s/%s" % (JAPANESE, FOLDER_5C, DATA_KV)
HANGUL = "게임"  # no code page 932 form: the game folder is reached by its short name
LONG = "a" * 120 + "/" + "b" * 120  # past 260 bytes of path


# Step builders, a table: each returns a step, a function of the session.
do = lambda *command: lambda session: session.value(*command)
click = lambda control, title=MAIN: do("click", title, control)
wait = lambda title, opens=True, timeout_s=10: lambda session: session.wait_window(
    title, opens, timeout_s)
press = lambda action, *keys: lambda session: session.keys(action, *keys)
pads = lambda text: lambda session: session.set_joysticks(text)
escape = lambda title=MAIN: lambda session: (
    session.focus_keyboard(title) or session.xdotool("key", "Escape"))
focused = lambda field: lambda session: check(
    "the focus", int(session.value("focused", ASSIGN)[0]), field)
# The control comes to read text within timeout_s (or, given still, does not and still reads that).
reads = lambda title, control, text, timeout_s=3, still=None: lambda session: check(
    "%s's control %d" % (title, control), session.wait_text(title, control, text, timeout_s),
    text if still is None else still)
save_theirs = lambda session: (session.game / DATA_KV).write_bytes(THEIRS)


def texts(session):
    """The template's texts and the slot entries, in the locale's code page."""
    check("the controls", dict(zip(MAIN_TEXTS, session.value("text", MAIN, *MAIN_TEXTS))),
          {i: session.say(text) for i, text in MAIN_TEXTS.items()})
    check("the slot list", session.value("items", MAIN, SLOT_LIST), SLOT_ENTRIES)


def shows(file_bytes):
    """The main dialog shows the record loaded from file_bytes as the model says."""

    def step(session):
        seen = {name: session.value(how, MAIN, box) == ["1"] for name, (how, box) in BOXES.items()}
        seen["slot"] = int(session.value("cursel", MAIN, SLOT_LIST)[0])
        check("the main dialog", seen, kv.dialog_shows(kv.loaded_image(file_bytes)))
        check("the slot list", session.value("text", MAIN, SLOT_LIST), [SLOT_ENTRIES[seen["slot"]]])

    return step


def score_reset(button):
    """The score-reset box asks, is answered with button (1 OK, 2 refused) and goes."""
    return [click(SCORE_RESET), wait(RESET_BOX), reads(RESET_BOX, BOX_TEXT, "スコアを初期化しますか？"),
            click(button, RESET_BOX), wait(RESET_BOX, False), wait(MAIN, True, 1)]


windows_path = lambda session, path: str(session.game / path).replace("/", "\\")


def save_failure(session, button):
    """The save into a read-only file fails: the box names the file and the cause and
    offers 再試行 (taken after read-only is cleared) and キャンセル."""
    os.chmod(session.game / DATA_KV, 0o444)
    click(CONFIRM)(session)
    reads(MAIN, BOX_TEXT, session.say(SAVE_FAILED) % (windows_path(session, DATA_KV),
                                                      session.say(READ_ONLY)), 10)(session)
    offers, retry = session.value("text", MAIN, BOX_RETRY, BOX_CANCEL), session.say("再試行")
    check("the box offers", [offers[0].replace("&", "")[: len(retry)], offers[1]],
          [retry, session.say("キャンセル")])
    if button == BOX_RETRY:
        os.chmod(session.game / DATA_KV, 0o640)
    click(button)(session)


def held_save(session):
    """KV.set held open by another program: refused as in use, before anything is made."""
    session.hold(DATA_KV, 60000)
    click(CONFIRM)(session)
    reads(MAIN, BOX_TEXT, session.say(SAVE_FAILED) % (windows_path(session, DATA_KV),
                                                      session.say(IN_USE)), 15)(session)
    click(BOX_CANCEL)(session)


UP, DOWN, RIGHT = 0, 1, 3  # binding positions
# The field of each position, UP, DOWN, LEFT, RIGHT, B1..B4; after a capture
# the focus moves to the next one, after B4 to "設定する".
FIELDS = (1030, 1031, 1032, 1020, 1021, 1022, 1023, 1024)
ASSIGN_OK, ASSIGN_CONFIRM, ASSIGN_CANCEL = 1, 1018, 2
NEXT_FOCUS = FIELDS[1:] + (ASSIGN_CONFIRM,)
DEFAULT_FIELDS = ("↑ ↓ ← → z x c v".split(),  # at start-up without and with joystick 1
                  ["PAD1:" + name for name in "UP DOWN LEFT RIGHT B1 B2 B3 B4".split()])


def assigned(*bindings, joystick_1=False):
    """What a confirmed run writes with (position, source, code) bound in slot 0's controller 1."""
    image = kv.default_image(joystick_1)
    for position, source, code in bindings:
        kv.set_binding(image, 0, 0, position, source, code)
    return {DATA_KV: kv.saved(bytes(image), joystick_1=joystick_1)}


def assign(*captures, keys=(), joystick_1=False, replug=None, ending=ASSIGN_CONFIRM, position=UP):
    """Opens the button assignment, focuses the field at position (replug: joysticks.txt from
    then on, read while focusing), holds keys for the captures, ends it by ending, confirms."""
    return [click(KEY_CONFIG), wait(ASSIGN), lambda session: check(
        "the fields", session.value("text", ASSIGN, *FIELDS), DEFAULT_FIELDS[joystick_1]),
        lambda session: replug is None or session.set_joysticks(replug),
        lambda session: not keys or session.focus_keyboard(ASSIGN),
        do("focus", ASSIGN, FIELDS[position]), focused(FIELDS[position]),
        press("keydown", *keys), *captures, press("keyup", *keys),
        click(ending, ASSIGN), wait(ASSIGN, False), click(CONFIRM)]


# A joysticks.txt line for the winmm.dll stand-in: joystick 1-4, axes 0-65535.
joystick = lambda number, x=32767, y=32767, buttons=0, posfail=0: "%d %d %d %d %d\n" % (
    number - 1, x, y, buttons, posfail)
# The field at position comes to show text and the focus moves on.
capture = lambda position, text: [reads(ASSIGN, FIELDS[position], text),
                                  focused(NEXT_FOCUS[position])]
# Holding keys, the key test shows state: U D L R 1 2 3 4 for controller 1.
key_test_shows = lambda keys, state: [press("keydown", *keys), reads(KEY_TEST_TITLE, 2301, state),
                                      press("keyup", *keys)]
DOWN_KEY, DOWN_HELD = (UP, kv.KEYBOARD, 208), capture(UP, "↓")
KEY_TEST_STEPS = [click(KEY_TEST), wait(KEY_TEST_TITLE), lambda session: session.focus_keyboard(
    KEY_TEST_TITLE), *key_test_shows(["Up", "z"], "U   1   "), *key_test_shows([], " " * 8),
    *key_test_shows(["Left", "Right", "v"], "  LR   4"), *key_test_shows(["i", "x"], "     2  "),
    *key_test_shows([], " " * 8), escape(KEY_TEST_TITLE), wait(KEY_TEST_TITLE, False),
    wait(MAIN, True, 1), click(CONFIRM)]  # i is controller 2's UP: never shown

CASES = [
    Case("Japanese locale: texts, defaults shown, confirmed into Data", {"Data": None},
         [texts, shows(None), wait(HOST), lambda session: check(
             "the host window's region", session.value("region", HOST), EMPTY_REGION),
          click(CONFIRM)], {DATA_KV: kv.saved()}),
    Case("English locale: texts, a LocalConfig file shown before Data's, Cancel writes nothing",
         {LOCAL_KV: CRAFTED, DATA_KV: SCORES}, [texts, shows(CRAFTED), click(CANCEL)], {},
         japanese=False),
    Case("Japanese game folder, DataPath into 表ソ (0x5C second bytes): 5000 bytes saved whole",
         {JAPANESE + "/" + LOCAL_TXT: b"DataPath " + FOLDER_5C.encode("cp932") + b"\r\n",
          JAPANESE_KV: CRAFTED + bytes(316), JAPANESE + "/" + DATA_KV: SCORES},
         [shows(CRAFTED), click(CONFIRM)], {JAPANESE_KV: kv.saved(CRAFTED)}, start_in=JAPANESE),
    Case("Hangul game folder, DataPath elsewhere: LocalConfig's KV.set found and saved back",
         {HANGUL + "/" + LOCAL_TXT: b"DataPath Sub\r\n", HANGUL + "/" + LOCAL_KV: CRAFTED,
          HANGUL + "/Sub/" + DATA_KV: SCORES}, [shows(CRAFTED), click(CONFIRM)],
         {HANGUL + "/" + LOCAL_KV: kv.saved(CRAFTED)}, start_in=HANGUL),
    Case("DataPath into a folder past 260 bytes, an empty KV.set there counts as found",
         {LOCAL_TXT: b"DataPath %s\r\nDataPath %s\r\n" % tuple(LONG.encode().split(b"/")),
          LONG + "/" + DATA_KV: b"", "Data": None}, [shows(b""), click(CONFIRM)],
         {LONG + "/" + DATA_KV: kv.saved()}),
    Case("window mode, slot switch and 640x480 cleared: ticks kept", {DATA_KV: BOTH_OPTIONS},
         [click(WINDOW_MODE), do("select", MAIN, SLOT_LIST, 2), click(START_640X480),
          shows(SWITCHED), click(CONFIRM)], {DATA_KV: kv.saved(SWITCHED)}),
    Case("score reset with OK, then confirmed", {DATA_KV: SCORES},
         score_reset(1) + [click(CONFIRM)], {DATA_KV: kv.saved(kv.reset_rankings(SCORES))}),
    Case("score reset refused, then Escape writes nothing", {DATA_KV: SCORES},
         score_reset(2) + [escape()], {}),
    Case("close box writes nothing", {"Data": None, LOCAL_KV: CRAFTED},
         [shows(CRAFTED), do("close", MAIN)], {}),
    Case("read-only KV.set: the box names it and why; retried once writable, saved",
         {DATA_KV: SCORES}, [lambda session: save_failure(session, BOX_RETRY)],
         {DATA_KV: kv.saved(SCORES)}),
    Case("read-only KV.set: the failure box cancelled, nothing written, exit 1",
         {DATA_KV: SCORES}, [lambda session: save_failure(session, BOX_CANCEL)], {}, exit_code=1),
    Case("KV.set held open by another program: refused, the folder as it was, exit 1",
         {DATA_KV: SCORES}, [held_save], {}, exit_code=1),
    Case("KV.set changed on disk while the dialog is open keeps those bytes", {DATA_KV: SCORES},
         [shows(SCORES), save_theirs, click(WINDOW_MODE), click(CONFIRM)], {DATA_KV: MERGED}),
] + [Case(name, {"Data": None}, steps, writes, joysticks=joysticks)
     for name, steps, writes, joysticks in (
    ("assign: Down into UP, confirmed", assign(*DOWN_HELD, keys=["Down"]), assigned(DOWN_KEY),
     None),
    ("assign: Down into UP, then Cancel keeps the key map",
     assign(*DOWN_HELD, keys=["Down"], ending=ASSIGN_CANCEL), assigned(), None),
    ("assign: pad defaults at start-up; Down into UP with OK after joystick 1 is unplugged",
     assign(*DOWN_HELD, keys=["Down"], joystick_1=True, replug=joystick(1, posfail=1),
            ending=ASSIGN_OK), assigned(DOWN_KEY, joystick_1=True), joystick(1)),
    ("assign: Down into UP beside joystick 1 held left since start-up",
     assign(*DOWN_HELD, keys=["Down"], joystick_1=True), assigned(DOWN_KEY, joystick_1=True),
     joystick(1, x=0)),
    ("assign: z and x held, z into UP, then x into DOWN",
     assign(*capture(UP, "z"), reads(ASSIGN, FIELDS[DOWN], "x", 0.5, still="↓"),
            press("keyup", "z"), *capture(DOWN, "x"), keys=["z", "x"]),
     assigned((UP, kv.KEYBOARD, 44), (DOWN, kv.KEYBOARD, 45)), None),
    ("assign: joystick 2 button 1 into RIGHT",
     assign(pads(joystick(2, buttons=1)), *capture(RIGHT, "PAD2:B1"), pads(joystick(2)),
            position=RIGHT), assigned((RIGHT, 2, 1)), joystick(2)),
    ("key test: held keys shown, Escape ends it", KEY_TEST_STEPS, assigned(), None))]
# The main flows again in English under an English locale: its texts, the same files written.
CASES += [case._replace(name="/lang:en, " + case.name.replace("Japanese", "English"), english=True,
                        japanese=False) for case in CASES if case.name.startswith((
    "Japanese locale", "score reset with OK", "read-only KV.set: the box names it",
    "KV.set held open", "assign: Down into UP, confirmed", "key test"))]
