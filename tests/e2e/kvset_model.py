"""An independent model of KV.set, written from its byte layout.

It knows the offsets, the defaults, the default ranking tables and the
default key maps, and what the main dialog writes when it is read back.
The end-to-end tests compare the files that Config.exe writes with it.
"""

import struct

SIZE = 4684

CURRENT_SLOT = 0
SLOTS = 4
SLOT_SIZE = 704
SLOT_COUNT = 5
SLOT_RESERVED_SIZE = 320
BINDING_SIZE = 12

OPAQUE_A = 3524
FOUR_WAY_CHOICE = 3528
OPAQUE_B = 3532
OPAQUE_C = 3536
OPTION_BITS = 3540
NUMBER_A = 3544
OPAQUE_D = 3548
NUMBER_B = 3552
OPAQUE_E = 3556
START_640X480 = 3560
KEEP_320X240 = 3564
FULL_SCREEN = 3568
EXTRA_FLAG = 3572
SOUND_FOLDER = 3576
SOUND_FOLDER_SIZE = 260
OPAQUE_F = 3836
MODE_BITS = 3840
OPAQUE_G = 3844
OPAQUE_H = 3848
OPAQUE_I = 3852
OPAQUE_J = 3856
OPAQUE_J_SIZE = 28
RANKINGS = 3884
RANKING_TABLE_SIZE = 200
RANKING_TABLE_COUNT = 4

DEFAULT_SOUND_FOLDER = b".\\Sound\\\0"

KEYBOARD, JOYSTICK_1 = 0, 1  # binding sources

# DirectInput key codes of UP, DOWN, LEFT, RIGHT, B1..B4 for controllers 1-4
# when joystick 1 does not answer at start-up (Wine has no joystick).
DEFAULT_KEYS = (
    (200, 208, 203, 205, 44, 45, 46, 47),  # arrows, z x c v
    (23, 37, 36, 38, 30, 31, 32, 33),  # i k j l, a s d f
    (6, 20, 19, 21, 2, 3, 4, 5),  # 5 t r y, 1 2 3 4
    (199, 207, 211, 209, 8, 9, 10, 11),  # Home End Del PDown, 7 8 9 0
)

# Controller 1 when joystick 1 answers at start-up: its directions, buttons 1-4.
DEFAULT_PAD_CODES = (0x10000, 0x20000, 0x40000, 0x80000, 0x1, 0x2, 0x4, 0x8)

FIELD_NAMES = (
    (CURRENT_SLOT, 4, "currentSlot"),
    (OPAQUE_A, 4, "opaqueA"),
    (FOUR_WAY_CHOICE, 4, "fourWayChoice"),
    (OPAQUE_B, 4, "opaqueB"),
    (OPAQUE_C, 4, "opaqueC"),
    (OPTION_BITS, 4, "optionBits"),
    (NUMBER_A, 4, "numberA"),
    (OPAQUE_D, 4, "opaqueD"),
    (NUMBER_B, 4, "numberB"),
    (OPAQUE_E, 4, "opaqueE"),
    (START_640X480, 4, "start640x480"),
    (KEEP_320X240, 4, "keep320x240"),
    (FULL_SCREEN, 4, "fullScreen"),
    (EXTRA_FLAG, 4, "extraFlag"),
    (SOUND_FOLDER, SOUND_FOLDER_SIZE, "soundFolder"),
    (OPAQUE_F, 4, "opaqueF"),
    (MODE_BITS, 4, "modeBits"),
    (OPAQUE_G, 4, "opaqueG"),
    (OPAQUE_H, 4, "opaqueH"),
    (OPAQUE_I, 4, "opaqueI"),
    (OPAQUE_J, OPAQUE_J_SIZE, "opaqueJ"),
)


def get_int(image, offset):
    return struct.unpack_from("<i", image, offset)[0]


def get_uint(image, offset):
    return struct.unpack_from("<I", image, offset)[0]


def put_int(image, offset, value):
    struct.pack_into("<i", image, offset, value)


def put_uint(image, offset, value):
    struct.pack_into("<I", image, offset, value)


def slot_offset(slot):
    return SLOTS + SLOT_SIZE * slot


def key_map_offset(slot):
    return slot_offset(slot) + SLOT_RESERVED_SIZE


def ranking_table_offset(table):
    return RANKINGS + RANKING_TABLE_SIZE * table


def default_ranking_table(value_of_entry):
    """Ten entries {head 0, value, 3i, 3i+1, 3i+2}."""
    table = bytearray()
    for i in range(10):
        table += struct.pack("<5i", 0, value_of_entry(i), 3 * i, 3 * i + 1, 3 * i + 2)
    return bytes(table)


DEFAULT_RANKING_A = default_ranking_table(lambda i: 50000 - 5000 * i)
DEFAULT_RANKING_B = default_ranking_table(lambda i: (91 + i) * 3600 - 1)


def reset_rankings(image):
    """What the score reset does: tables 0 and 1 get A, tables 2 and 3 get B."""
    for table, content in enumerate(
        (DEFAULT_RANKING_A, DEFAULT_RANKING_A, DEFAULT_RANKING_B, DEFAULT_RANKING_B)
    ):
        start = ranking_table_offset(table)
        image[start : start + RANKING_TABLE_SIZE] = content


def binding_offset(slot, controller, position):
    """controller 0-3 is the game's controller 1-4; position 0-7 is UP..B4."""
    return key_map_offset(slot) + 96 * controller + BINDING_SIZE * position


def set_binding(image, slot, controller, position, source, code):
    """What an assignment stores: source and code; the handler word stays."""
    struct.pack_into("<2i", image, binding_offset(slot, controller, position), source, code)


def write_default_key_map(image, slot, joystick_1):
    for controller, codes in enumerate(DEFAULT_KEYS):
        source = KEYBOARD
        if controller == 0 and joystick_1:
            source, codes = JOYSTICK_1, DEFAULT_PAD_CODES
        for position, code in enumerate(codes):
            offset = binding_offset(slot, controller, position)
            struct.pack_into("<3i", image, offset, source, code, 0)  # no handler


def default_image(joystick_1=False):
    """The record a run starts from when no KV.set is found.

    joystick_1: whether joystick 1 answered at start-up.
    """
    image = bytearray(SIZE)
    for slot in range(SLOT_COUNT):
        write_default_key_map(image, slot, joystick_1)
    reset_rankings(image)
    put_int(image, FULL_SCREEN, 1)
    image[SOUND_FOLDER : SOUND_FOLDER + len(DEFAULT_SOUND_FOLDER)] = DEFAULT_SOUND_FOLDER
    put_int(image, OPAQUE_G, 2)
    put_int(image, OPAQUE_H, 2)
    put_int(image, OPAQUE_I, 1)
    return image


def loaded_image(file_bytes):
    """A KV.set read over the defaults: as many leading bytes as it has."""
    image = default_image()
    head = file_bytes[:SIZE]
    image[: len(head)] = head
    return image


def dialog_shows(image):
    """The check boxes as the main dialog shows a record."""
    start = get_int(image, START_640X480) != 0
    return {
        "window_mode": get_int(image, FULL_SCREEN) != 1,
        "start_640x480": start,
        "keep_320x240": get_int(image, KEEP_320X240) != 0,
        "keep_enabled": start,
        "slot": get_int(image, CURRENT_SLOT),
    }


def read_back(image, window_mode, start_640x480, keep_320x240):
    """What the main dialog stores when it is destroyed, whatever ended it."""
    put_int(image, FULL_SCREEN, 0 if window_mode else 1)
    image[SOUND_FOLDER : SOUND_FOLDER + len(DEFAULT_SOUND_FOLDER)] = DEFAULT_SOUND_FOLDER
    put_int(image, FOUR_WAY_CHOICE, 0)
    put_int(image, EXTRA_FLAG, 0)
    put_uint(image, OPTION_BITS, get_uint(image, OPTION_BITS) & ~3 & 0xFFFFFFFF)
    put_int(image, START_640X480, 1 if start_640x480 else 0)
    put_int(image, KEEP_320X240, 1 if keep_320x240 else 0)
    put_int(image, NUMBER_A, 0)
    put_int(image, NUMBER_B, 0)
    put_uint(image, MODE_BITS, (get_uint(image, MODE_BITS) & ~6 & 0xFFFFFFFF) | 1)


def read_back_as_shown(image):
    """The read-back of a dialog whose boxes were left as they were shown."""
    shown = dialog_shows(image)
    read_back(image, shown["window_mode"], shown["start_640x480"], shown["keep_320x240"])


def field_at(offset):
    for start, size, name in FIELD_NAMES:
        if start <= offset < start + size:
            return name
    if SLOTS <= offset < slot_offset(SLOT_COUNT):
        slot, inside = divmod(offset - SLOTS, SLOT_SIZE)
        if inside < SLOT_RESERVED_SIZE:
            return "slot %d reserved" % slot
        controller, binding = divmod(inside - SLOT_RESERVED_SIZE, 96)
        return "slot %d controller %d binding %d" % (slot, controller + 1, binding // BINDING_SIZE)
    if RANKINGS <= offset < SIZE:
        table, inside = divmod(offset - RANKINGS, RANKING_TABLE_SIZE)
        return "ranking table %d entry %d" % (table, inside // 20)
    return "?"


def describe_difference(expected, actual, limit=8):
    """A short account of where two images differ, by field."""
    if len(expected) != len(actual):
        return "size %d, expected %d" % (len(actual), len(expected))
    lines = []
    for offset, (want, got) in enumerate(zip(expected, actual)):
        if want != got:
            lines.append(
                "byte %d (%s): 0x%02x, expected 0x%02x" % (offset, field_at(offset), got, want)
            )
    more = len(lines) - limit
    return "; ".join(lines[:limit]) + ("; and %d more" % more if more > 0 else "")
