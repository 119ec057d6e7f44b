"""An independent model of KV.set, written from its byte layout: the one source of every
expected file in the end-to-end cases and of the golden records, which it rewrites when
run: tests/golden/defaults.set and defaults-joystick.set, and a file of bytes unlike their
neighbours (slot 3 current) with what a confirmed run saves of it: pattern.set, pattern-saved.set."""

import pathlib, struct

SIZE = 4684
CURRENT_SLOT, SLOTS, SLOT_SIZE, SLOT_COUNT, SLOT_RESERVED_SIZE = 0, 4, 704, 5, 320
BINDING_SIZE, CONTROLLER_SIZE = 12, 96
FOUR_WAY_CHOICE, OPTION_BITS, NUMBER_A, NUMBER_B = 3528, 3540, 3544, 3552
START_640X480, KEEP_320X240, FULL_SCREEN, EXTRA_FLAG = 3560, 3564, 3568, 3572
SOUND_FOLDER, MODE_BITS, OPAQUE_G, OPAQUE_H, OPAQUE_I, RANKINGS = 3576, 3840, 3844, 3848, 3852, 3884

DEFAULT_SOUND_FOLDER = b".\\Sound\\\0"
KEYBOARD, JOYSTICK_1 = 0, 1  # binding sources
# DirectInput key codes of UP, DOWN, LEFT, RIGHT, B1..B4 for controllers 1-4: arrows and
# z x c v; i k j l and a s d f; 5 t r y and 1 2 3 4; Home End Del PDown and 7 8 9 0.
DEFAULT_KEYS = ((200, 208, 203, 205, 44, 45, 46, 47), (23, 37, 36, 38, 30, 31, 32, 33),
                (6, 20, 19, 21, 2, 3, 4, 5), (199, 207, 211, 209, 8, 9, 10, 11))
# Controller 1 when joystick 1 answers at start-up: its directions, buttons 1-4.
DEFAULT_PAD_CODES = (0x10000, 0x20000, 0x40000, 0x80000, 0x1, 0x2, 0x4, 0x8)


def get_int(image, offset):
    return struct.unpack_from("<i", image, offset)[0]


def put_int(image, offset, value):
    struct.pack_into("<i" if value < 0x80000000 else "<I", image, offset, value)


def with_ints(file_bytes, *changes):
    """file_bytes with (offset, value) changes."""
    image = bytearray(file_bytes)
    for offset, value in changes:
        put_int(image, offset, value)
    return bytes(image)


def key_map_offset(slot):
    return SLOTS + SLOT_SIZE * slot + SLOT_RESERVED_SIZE


def set_binding(image, slot, controller, position, source, code):
    """What an assignment stores for controller 0-3 (the game's 1-4) at position 0-7
    (UP..B4): source and code; the handler word stays."""
    at = key_map_offset(slot) + CONTROLLER_SIZE * controller + BINDING_SIZE * position
    struct.pack_into("<2i", image, at, source, code)


def ranking_table(value_of_entry):
    """Ten entries {head 0, value, 3i, 3i+1, 3i+2}."""
    return b"".join(struct.pack("<5i", 0, value_of_entry(i), 3 * i, 3 * i + 1, 3 * i + 2)
                    for i in range(10))


def reset_rankings(file_bytes):
    """Reset rankings: tables 0 and 1 count down from 50000, tables 2 and 3 are times."""
    a = ranking_table(lambda i: 50000 - 5000 * i)
    return file_bytes[:RANKINGS] + a + a + 2 * ranking_table(lambda i: (91 + i) * 3600 - 1)


def default_image(joystick_1=False):
    """The record a run starts from without KV.set; joystick_1: if it answered at start-up."""
    image = bytearray(reset_rankings(bytes(RANKINGS)))
    for slot in range(SLOT_COUNT):
        for controller, codes in enumerate(DEFAULT_KEYS):
            source = JOYSTICK_1 if controller == 0 and joystick_1 else KEYBOARD
            for position, code in enumerate(DEFAULT_PAD_CODES if source else codes):
                set_binding(image, slot, controller, position, source, code)
    image[SOUND_FOLDER : SOUND_FOLDER + len(DEFAULT_SOUND_FOLDER)] = DEFAULT_SOUND_FOLDER
    changes = (FULL_SCREEN, 1), (OPAQUE_G, 2), (OPAQUE_H, 2), (OPAQUE_I, 1)
    return bytearray(with_ints(image, *changes))


def loaded_image(file_bytes, joystick_1=False):
    """A KV.set (None: none found) read over the defaults: its leading bytes."""
    head = (file_bytes or b"")[:SIZE]
    return bytearray(head) + default_image(joystick_1)[len(head) :]


def dialog_shows(image):
    """The main dialog's check boxes and slot for a record."""
    start = get_int(image, START_640X480) != 0
    return {"window_mode": get_int(image, FULL_SCREEN) != 1, "start_640x480": start,
            "keep_320x240": get_int(image, KEEP_320X240) != 0, "keep_enabled": start,
            "slot": get_int(image, CURRENT_SLOT)}


def saved(file_bytes=None, joystick_1=False):
    """The KV.set written after loading file_bytes (or the record as the player changed it):
    what the main dialog stores when destroyed, however ended, with its boxes as shown."""
    image = loaded_image(file_bytes, joystick_1)
    shown = dialog_shows(image)
    image[SOUND_FOLDER : SOUND_FOLDER + len(DEFAULT_SOUND_FOLDER)] = DEFAULT_SOUND_FOLDER
    return with_ints(image, (FULL_SCREEN, 0 if shown["window_mode"] else 1), (FOUR_WAY_CHOICE, 0),
                     (EXTRA_FLAG, 0), (START_640X480, int(shown["start_640x480"])),
                     (KEEP_320X240, int(shown["keep_320x240"])), (NUMBER_A, 0), (NUMBER_B, 0),
                     (OPTION_BITS, get_int(image, OPTION_BITS) & ~3 & 0xFFFFFFFF),
                     (MODE_BITS, (get_int(image, MODE_BITS) & ~6 & 0xFFFFFFFF) | 1))


if __name__ == "__main__":
    golden = pathlib.Path(__file__).resolve().parent.parent / "golden"
    for name, joystick_1 in (("defaults.set", False), ("defaults-joystick.set", True)):
        (golden / name).write_bytes(saved(joystick_1=joystick_1))
    pattern = with_ints(bytes(i * 7 % 251 + 1 for i in range(SIZE)), (CURRENT_SLOT, 3))
    (golden / "pattern.set").write_bytes(pattern)
    (golden / "pattern-saved.set").write_bytes(saved(pattern))
