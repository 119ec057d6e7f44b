"""The end-to-end cases: files placed, the dialog driven, files expected.

Every expected KV.set comes from kvset_model, never from the program.
"""

import os
import random
import stat

import kvset_model as kv
from wine_session import MAIN_TITLE, SCORE_RESET_TITLE

DATA_KV = "Data/KV.set"
LOCAL_KV = "LocalConfig/KV.set"
LOCAL_TXT = "LocalConfig/LocalConfig.Txt"

WINDOW_MODE, START_640X480, KEEP_320X240, SLOT_LIST = 2104, 1041, 1042, 1000
CONFIRM, CANCEL, SCORE_RESET = 1, 2, 3
BOX_OK, BOX_CANCEL, BOX_RETRY, BOX_TEXT = 1, 2, 4, 0xFFFF

MAIN_TEXTS = (
    (WINDOW_MODE, "ウィンドウモードで起動する"),
    (START_640X480, "６４０×４８０で起動する"),
    (KEEP_320X240, "画面を３２０×２４０を保持する"),
    (1017, "キーコンフィグ"),
    (1034, "キーテスト"),
    (CONFIRM, "設定する"),
    (CANCEL, "設定しない"),
    (SCORE_RESET, "スコア初期化"),
)
SLOT_ENTRIES = ["Config: 0", "Config: 1", "Config: 2", "Config: 3", "Config: 4"]


# -- files ---------------------------------------------------------------------


def random_key_maps(image, rng):
    """Plausible keyboard bindings; the handler word stays 0."""
    for slot in range(kv.SLOT_COUNT):
        for binding in range(32):
            offset = kv.key_map_offset(slot) + kv.BINDING_SIZE * binding
            kv.put_int(image, offset, 0)
            kv.put_int(image, offset + 4, rng.randrange(1, 256))
            kv.put_int(image, offset + 8, 0)


def crafted_settings():
    """Random bytes wherever the program keeps what it loaded, odd values elsewhere."""
    rng = random.Random(4684)
    image = bytearray(rng.randbytes(kv.SIZE))
    random_key_maps(image, rng)
    kv.put_int(image, kv.CURRENT_SLOT, 3)
    kv.put_int(image, kv.FULL_SCREEN, 2)
    kv.put_int(image, kv.START_640X480, 0)
    kv.put_int(image, kv.KEEP_320X240, 1)
    kv.put_uint(image, kv.MODE_BITS, 0xF6)
    kv.put_int(image, kv.FOUR_WAY_CHOICE, 3)
    kv.put_int(image, kv.NUMBER_A, 7)
    kv.put_int(image, kv.NUMBER_B, -5)
    kv.put_int(image, kv.EXTRA_FLAG, 1)
    kv.put_uint(image, kv.OPTION_BITS, kv.get_uint(image, kv.OPTION_BITS) | 3)
    folder = b"D:\\Music\\Game\\\0"
    image[kv.SOUND_FOLDER : kv.SOUND_FOLDER + len(folder)] = folder
    return bytes(image)


def changed_scores():
    """Defaults but for the four ranking tables."""
    rng = random.Random(3884)
    image = kv.default_image()
    image[kv.RANKINGS :] = rng.randbytes(kv.SIZE - kv.RANKINGS)
    return bytes(image)


def with_int(image, offset, value):
    image = bytearray(image)
    kv.put_int(image, offset, value)
    return bytes(image)


CRAFTED = crafted_settings()
SCORES = changed_scores()


def saved(file_bytes, transform=None):
    """The KV.set a confirmed run writes after loading file_bytes (None: no file)."""
    image = kv.default_image() if file_bytes is None else kv.loaded_image(file_bytes)
    if transform is not None:
        transform(image)
    kv.read_back_as_shown(image)
    return bytes(image)


# -- driving the dialog ----------------------------------------------------------


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def expect_shows(session, image):
    """The main dialog shows the record as the model says it must."""
    shown = kv.dialog_shows(image)
    seen = {
        "window_mode": session.checked(MAIN_TITLE, WINDOW_MODE),
        "start_640x480": session.checked(MAIN_TITLE, START_640X480),
        "keep_320x240": session.checked(MAIN_TITLE, KEEP_320X240),
        "keep_enabled": session.enabled(MAIN_TITLE, KEEP_320X240),
        "slot": session.cursel(MAIN_TITLE, SLOT_LIST),
    }
    expect(seen == shown, "dialog shows %s, expected %s" % (seen, shown))
    entry = session.text(MAIN_TITLE, SLOT_LIST)
    expect(entry == SLOT_ENTRIES[shown["slot"]], "slot list shows %r" % entry)


ENDINGS = {
    "confirm": lambda session: session.click(MAIN_TITLE, CONFIRM),
    "cancel": lambda session: session.click(MAIN_TITLE, CANCEL),
    "escape": lambda session: session.press_escape(MAIN_TITLE),
    "close box": lambda session: session.close_box(MAIN_TITLE),
}


def shows_then(image, how):
    def drive(session):
        expect_shows(session, image)
        ENDINGS[how](session)

    return drive


def answer_score_reset(box_button, how):
    def drive(session):
        session.click(MAIN_TITLE, SCORE_RESET)
        expect(session.wait_window(SCORE_RESET_TITLE, 10), "no score-reset box")
        question = session.text(SCORE_RESET_TITLE, BOX_TEXT)
        expect(question == "スコアを初期化しますか？", "the box asks %r" % question)
        session.click(SCORE_RESET_TITLE, box_button)
        expect(session.window_gone(SCORE_RESET_TITLE, 10), "the score-reset box stayed")
        expect(session.wait_window(MAIN_TITLE, 1), "the main dialog closed with the box")
        ENDINGS[how](session)

    return drive


def switch_slot_with_window_mode(session):
    session.click(MAIN_TITLE, WINDOW_MODE)
    session.select(MAIN_TITLE, SLOT_LIST, 2)
    image = kv.default_image()
    kv.put_int(image, kv.CURRENT_SLOT, 2)
    kv.put_int(image, kv.FULL_SCREEN, 0)
    expect_shows(session, image)
    ENDINGS["confirm"](session)


def clear_640x480(session):
    session.click(MAIN_TITLE, START_640X480)
    expect(not session.checked(MAIN_TITLE, START_640X480), "1041 still ticked")
    expect(not session.enabled(MAIN_TITLE, KEEP_320X240), "1042 still enabled")
    expect(session.checked(MAIN_TITLE, KEEP_320X240), "1042 lost its tick")
    ENDINGS["confirm"](session)


def windows_path(path):
    """The Unix path as a Wine program sees it, through drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


SAVE_FAILED = (
    "設定ファイル %s を保存できませんでした。\n%s\n\n"
    "[再試行] でもう一度保存します。[キャンセル] で保存せずに終了します。"
)
READ_ONLY = "ファイルが読み取り専用です。"


def answer_save_failure(box_button):
    """The save into a read-only file fails: the box names the file and the cause
    and offers 再試行 (after read-only is cleared) and キャンセル."""

    def drive(session):
        path = os.path.join(session.game_dir, *DATA_KV.split("/"))
        os.chmod(path, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        ENDINGS["confirm"](session)
        expected = SAVE_FAILED % (windows_path(path), READ_ONLY)
        code, lines = session.probe("waittext", MAIN_TITLE, BOX_TEXT, expected, 10000, waiting_s=10)
        seen = expected if code == 0 else "\n".join(lines)
        expect(seen == expected, "the save-failure box says %r" % seen)
        buttons = session.texts(MAIN_TITLE, (BOX_RETRY, BOX_CANCEL))
        expect(
            len(buttons) == 2 and buttons[0].startswith("再試行") and buttons[1] == "キャンセル",
            "the box offers %r" % buttons,
        )
        if box_button == BOX_RETRY:
            os.chmod(path, stat.S_IRUSR | stat.S_IWUSR | stat.S_IRGRP | stat.S_IROTH)
        session.click(MAIN_TITLE, box_button)

    return drive


THEIR_SCORES = bytes(random.Random(1).randbytes(kv.SIZE - kv.RANKINGS))


def change_file_while_open(session):
    """Another program saves KV.set while the dialog is open; the player then
    ticks window mode and confirms."""
    expect_shows(session, kv.loaded_image(SCORES))
    path = os.path.join(session.game_dir, *DATA_KV.split("/"))
    with open(path, "wb") as file:
        file.write(SCORES[: kv.RANKINGS] + THEIR_SCORES)
    session.click(MAIN_TITLE, WINDOW_MODE)
    ENDINGS["confirm"](session)


def merged_file():
    """Their file with only the bytes this run changed put on top."""
    loaded = kv.loaded_image(SCORES)
    mine = bytearray(loaded)
    shown = kv.dialog_shows(loaded)
    kv.read_back(mine, True, shown["start_640x480"], shown["keep_320x240"])
    theirs = SCORES[: kv.RANKINGS] + THEIR_SCORES
    return bytes(m if m != l else t for m, l, t in zip(mine, loaded, theirs))


def read_texts(session):
    for control, text in MAIN_TEXTS:
        seen = session.text(MAIN_TITLE, control)
        expect(seen == text, "control %d reads %r, expected %r" % (control, seen, text))
    entries = session.items(MAIN_TITLE, SLOT_LIST)
    expect(entries == SLOT_ENTRIES, "slot list holds %r" % entries)
    ENDINGS["cancel"](session)


# -- the cases --------------------------------------------------------------------


class Case:
    def __init__(self, name, files, drive, writes, japanese=True, smoke=False, exit_code=0):
        self.name = name
        self.files = files  # placed in the game folder before the run
        self.drive = drive  # drives the running dialog to its end
        self.writes = writes  # {path: bytes} the run must write; nothing else changes
        self.japanese = japanese
        self.smoke = smoke
        self.exit_code = exit_code  # 1 when the save finally failed


def switched_slot_file():
    """Defaults, slot 2, window mode ticked before the switch."""
    image = kv.default_image()
    kv.put_int(image, kv.CURRENT_SLOT, 2)
    kv.read_back(image, window_mode=True, start_640x480=False, keep_320x240=False)
    return bytes(image)


def cleared_640x480_file(loaded):
    image = bytearray(loaded)
    kv.read_back(image, window_mode=False, start_640x480=False, keep_320x240=True)
    return bytes(image)


def build_cases():
    defaults = kv.default_image()
    crafted = kv.loaded_image(CRAFTED)
    both_options = bytearray(defaults)
    kv.put_int(both_options, kv.START_640X480, 1)
    kv.put_int(both_options, kv.KEEP_320X240, 1)
    long_file = CRAFTED + bytes(range(256)) + bytes(60)
    cases = [
        Case(
            "defaults confirmed into Data",
            {"Data": None},
            shows_then(defaults, "confirm"),
            {DATA_KV: saved(None)},
            smoke=True,
        ),
        Case(
            "crafted LocalConfig file kept but for the read-back fields",
            {LOCAL_KV: CRAFTED, DATA_KV: with_int(CRAFTED, kv.CURRENT_SLOT, 1)},
            shows_then(crafted, "confirm"),
            {LOCAL_KV: saved(CRAFTED)},
            smoke=True,
        ),
        Case(
            "relative DataPath: saved into Other/Data",
            {LOCAL_TXT: b"DataPath Other\r\n", "Other/Data": None, "Data": None},
            shows_then(defaults, "confirm"),
            {"Other/Data/KV.set": saved(None)},
            smoke=True,
        ),
        Case(
            "DataPath with a LocalConfig file: saved back into LocalConfig",
            {LOCAL_TXT: b"DataPath Other\r\n", LOCAL_KV: CRAFTED, "Other/Data": None},
            shows_then(crafted, "confirm"),
            {LOCAL_KV: saved(CRAFTED)},
        ),
        Case(
            "empty LocalConfig file counts as found",
            {LOCAL_KV: b"", "Data": None},
            shows_then(defaults, "confirm"),
            {LOCAL_KV: saved(None)},
        ),
        Case(
            "4-byte file names the slot only",
            {DATA_KV: (3).to_bytes(4, "little")},
            shows_then(kv.loaded_image((3).to_bytes(4, "little")), "confirm"),
            {DATA_KV: saved((3).to_bytes(4, "little"))},
        ),
        Case(
            "5000-byte file saved as 4684 bytes",
            {DATA_KV: long_file},
            shows_then(crafted, "confirm"),
            {DATA_KV: saved(long_file)},
        ),
        Case(
            "score reset with OK, then confirmed",
            {DATA_KV: SCORES},
            answer_score_reset(BOX_OK, "confirm"),
            {DATA_KV: saved(SCORES, kv.reset_rankings)},
            smoke=True,
        ),
        Case(
            "score reset with OK, then not confirmed",
            {DATA_KV: SCORES},
            answer_score_reset(BOX_OK, "cancel"),
            {},
        ),
        Case(
            "score reset refused, then confirmed",
            {DATA_KV: SCORES},
            answer_score_reset(BOX_CANCEL, "confirm"),
            {DATA_KV: saved(SCORES)},
        ),
        Case(
            "slot switch keeps the window-mode tick",
            {"Data": None},
            switch_slot_with_window_mode,
            {DATA_KV: switched_slot_file()},
            smoke=True,
        ),
        Case(
            "clearing 640x480 keeps the 320x240 tick",
            {DATA_KV: bytes(both_options)},
            clear_640x480,
            {DATA_KV: cleared_640x480_file(both_options)},
        ),
        Case(
            "failed save into a read-only file: retried after read-only is cleared",
            {DATA_KV: SCORES},
            answer_save_failure(BOX_RETRY),
            {DATA_KV: saved(SCORES)},
        ),
        Case(
            "failed save into a read-only file: cancelled, exit 1",
            {DATA_KV: SCORES},
            answer_save_failure(BOX_CANCEL),
            {},
            exit_code=1,
        ),
        Case(
            "file changed on disk while the dialog is open keeps those bytes",
            {DATA_KV: SCORES},
            change_file_while_open,
            {DATA_KV: merged_file()},
        ),
        Case("Japanese texts", {"Data": None}, read_texts, {}, smoke=True),
        Case("texts under an English locale", {"Data": None}, read_texts, {}, japanese=False),
    ]
    for how in ("cancel", "escape", "close box"):
        cases.append(
            Case(
                "nothing written after %s" % how,
                {"Data": None, LOCAL_KV: CRAFTED},
                shows_then(crafted, how),
                {},
                smoke=how == "cancel",
            )
        )
    return cases

