"""End-to-end cases of the button-assignment dialog and the key test.

Keys are real key presses that xdotool types into the dialog's X11 window
(under Wine the program reads them as the Windows keyboard state). Joysticks
are those that the winmm.dll stand-in reports from joysticks.txt, which a
case rewrites while the program runs. Every expected KV.set comes from
kvset_model, never from the program.
"""

import kvset_model as kv
from cases import CONFIRM, DATA_KV, Case, expect
from wine_session import MAIN_TITLE

ASSIGN_TITLE = "ボタン設定"
KEY_TEST_TITLE = "コントローラーテスト"
KEY_CONFIG, KEY_TEST = 1017, 1034
ASSIGN_OK, ASSIGN_CONFIRM, ASSIGN_CANCEL = 1, 1018, 2
KEY_STATE = 2301

UP, DOWN, RIGHT = 0, 1, 3  # binding positions
# The field of each position, UP, DOWN, LEFT, RIGHT, B1..B4; after a capture
# the focus moves to the next one, after B4 to "設定する".
FIELDS = (1030, 1031, 1032, 1020, 1021, 1022, 1023, 1024)
NEXT_FOCUS = FIELDS[1:] + (ASSIGN_CONFIRM,)

TICK_S = 0.1  # both dialogs poll every 100 ms

KEY_NAMES = {200: "↑", 208: "↓", 203: "←", 205: "→", 44: "z", 45: "x", 46: "c", 47: "v"}
PAD_NAMES = {
    0x10000: "UP",
    0x20000: "DOWN",
    0x40000: "LEFT",
    0x80000: "RIGHT",
    0x1: "B1",
    0x2: "B2",
    0x4: "B3",
    0x8: "B4",
}
DOWN_KEY, Z_KEY, X_KEY = 208, 44, 45  # DirectInput key codes
JOYSTICK_2, PAD_B1 = 2, 0x1  # a binding's source and code

AXIS_MAX = 65535
CENTRE = 32767


def joystick(number, x=CENTRE, y=CENTRE, buttons=0, posfail=0):
    """A joysticks.txt line: joystick 1-4 attached, both axes 0-65535."""
    line = (number - 1, 1, 0, AXIS_MAX, 0, AXIS_MAX, 0, x, y, buttons, posfail)
    return " ".join(map(str, line)) + "\n"


# -- what the program must show and write ------------------------------------------


def field_text(source, code):
    if source == kv.KEYBOARD:
        return KEY_NAMES[code]
    return "PAD%d:%s" % (source, PAD_NAMES[code])


def fields_shown(image):
    """The eight fields for controller 1 of slot 0, the slot these runs use."""
    bindings = [kv.binding_offset(0, 0, position) for position in range(len(FIELDS))]
    return [field_text(kv.get_int(image, at), kv.get_int(image, at + 4)) for at in bindings]


def saved(image, *assignments):
    """The file a confirmed run writes.

    image: the record at start-up; assignments: (position, source, code) bound
    in controller 1 of slot 0 before the main dialog reads its controls back.
    """
    image = bytearray(image)
    for position, source, code in assignments:
        kv.set_binding(image, 0, 0, position, source, code)
    kv.read_back_as_shown(image)
    return {DATA_KV: bytes(image)}


# -- driving the dialogs ---------------------------------------------------------


def open_assign(session, image):
    session.click(MAIN_TITLE, KEY_CONFIG)
    expect(session.wait_window(ASSIGN_TITLE, 10), "the button-assignment dialog did not open")
    shown = session.texts(ASSIGN_TITLE, FIELDS)
    expected = fields_shown(image)
    expect(shown == expected, "the fields show %s, expected %s" % (shown, expected))


def focus_field(session, position):
    session.focus(ASSIGN_TITLE, FIELDS[position])
    focus = session.focused(ASSIGN_TITLE)
    expect(focus == FIELDS[position], "focus on %d, not on field %d" % (focus, FIELDS[position]))


def expect_capture(session, position, text):
    """The field at position shows text and the focus has moved on."""
    field = FIELDS[position]
    seen = session.wait_text(ASSIGN_TITLE, field, text)
    expect(seen == text, "field %d shows %r, expected %r" % (field, seen, text))
    focus = session.focused(ASSIGN_TITLE)
    expect(
        focus == NEXT_FOCUS[position],
        "after the capture into %d the focus is on %d, expected %d"
        % (field, focus, NEXT_FOCUS[position]),
    )


def end_assign_then_confirm(session, button):
    session.click(ASSIGN_TITLE, button)
    expect(session.window_gone(ASSIGN_TITLE, 5), "the button-assignment dialog stayed")
    session.click(MAIN_TITLE, CONFIRM)


def down_into_up(image, replug, ending):
    """↓ held with UP focused; replug: joysticks.txt once the dialog is open."""

    def drive(session):
        open_assign(session, image)
        if replug is not None:
            # The focusing below takes several ticks: the program reads the
            # new joysticks before the key goes down.
            session.set_joysticks(replug)
        session.focus_keyboard(ASSIGN_TITLE)
        focus_field(session, UP)
        with session.holding("Down"):
            expect_capture(session, UP, "↓")
        end_assign_then_confirm(session, ending)

    return drive


def z_then_x(session):
    open_assign(session, kv.default_image())
    session.focus_keyboard(ASSIGN_TITLE)
    focus_field(session, UP)
    with session.holding("z", "x"):
        expect_capture(session, UP, "z")
        seen = session.wait_text(ASSIGN_TITLE, FIELDS[DOWN], "x", 5 * TICK_S)
        expect(seen == "↓", "DOWN shows %r while z is still held" % seen)
        session.key_up("z")
        expect_capture(session, DOWN, "x")
    end_assign_then_confirm(session, ASSIGN_CONFIRM)


def pad_defaults_shown(session):
    open_assign(session, kv.default_image(joystick_1=True))
    end_assign_then_confirm(session, ASSIGN_CANCEL)


def pad_button_into_right(session):
    open_assign(session, kv.default_image())
    focus_field(session, RIGHT)
    session.set_joysticks(joystick(2, buttons=PAD_B1))
    expect_capture(session, RIGHT, "PAD2:B1")
    session.set_joysticks(joystick(2))
    end_assign_then_confirm(session, ASSIGN_CONFIRM)


# Keys held in the key test, in turn, and what it shows meanwhile: U D L R
# 1 2 3 4 for controller 1's inputs; i is controller 2's UP and never shows.
KEY_TEST_STATES = (
    (("Up", "z"), "U   1   "),
    ((), " " * 8),
    (("Left", "Right", "v"), "  LR   4"),
    (("i", "x"), "     2  "),
    ((), " " * 8),
)


def key_test(session):
    session.click(MAIN_TITLE, KEY_TEST)
    expect(session.wait_window(KEY_TEST_TITLE, 10), "the key test did not open")
    session.focus_keyboard(KEY_TEST_TITLE)
    for keys, state in KEY_TEST_STATES:
        with session.holding(*keys):
            seen = session.wait_text(KEY_TEST_TITLE, KEY_STATE, state)
        expect(seen == state, "holding %s shows %r, expected %r" % (keys, seen, state))
    session.press_escape(KEY_TEST_TITLE)
    expect(session.window_gone(KEY_TEST_TITLE, 5), "Escape did not end the key test")
    expect(session.wait_window(MAIN_TITLE, 1), "the main dialog ended with the key test")
    session.click(MAIN_TITLE, CONFIRM)


# -- the cases ---------------------------------------------------------------------


class DialogCase(Case):
    """A run in a game folder with an empty Data folder.

    joysticks: joysticks.txt at start-up for the winmm.dll stand-in; None
    runs with Wine's own winmm, which reports no joystick.
    """

    def __init__(self, name, drive, writes, joysticks=None, smoke=False):
        super().__init__(name, {"Data": None}, drive, writes, smoke=smoke)
        self.joysticks = joysticks


# name; joysticks.txt at start-up and whether it has joystick 1; joysticks.txt
# once the dialog is open; the button that ends it; whether that keeps ↓.
DOWN_INTO_UP = (
    ("Down into UP, confirmed", None, False, None, ASSIGN_CONFIRM, True),
    ("Down into UP, confirmed with OK", None, False, None, ASSIGN_OK, True),
    ("Down into UP, then Cancel keeps the key map", None, False, None, ASSIGN_CANCEL, False),
    (
        "Down into UP after joystick 1 is unplugged",
        joystick(1),
        True,
        joystick(1, posfail=1),
        ASSIGN_CONFIRM,
        True,
    ),
    (
        "Down into UP beside joystick 1 held left since start-up",
        joystick(1, x=0),
        True,
        None,
        ASSIGN_CONFIRM,
        True,
    ),
)


def build_cases():
    keyboard_defaults = kv.default_image()
    cases = []
    for row, (name, joysticks, joystick_1, replug, ending, kept) in enumerate(DOWN_INTO_UP):
        image = kv.default_image(joystick_1=joystick_1)
        assigned = [(UP, kv.KEYBOARD, DOWN_KEY)] if kept else []
        cases.append(
            DialogCase(
                "assign: " + name,
                down_into_up(image, replug, ending),
                saved(image, *assigned),
                joysticks=joysticks,
                smoke=row == 0,
            )
        )
    cases += [
        DialogCase(
            "assign: z and x held, z into UP, then x into DOWN",
            z_then_x,
            saved(keyboard_defaults, (UP, kv.KEYBOARD, Z_KEY), (DOWN, kv.KEYBOARD, X_KEY)),
        ),
        DialogCase(
            "assign: joystick 1 at start-up makes pad defaults in every slot",
            pad_defaults_shown,
            saved(kv.default_image(joystick_1=True)),
            joysticks=joystick(1),
        ),
        DialogCase(
            "assign: joystick 2 button 1 into RIGHT",
            pad_button_into_right,
            saved(keyboard_defaults, (RIGHT, JOYSTICK_2, PAD_B1)),
            joysticks=joystick(2),
        ),
        DialogCase(
            "key test: held keys shown, Escape ends it",
            key_test,
            saved(keyboard_defaults),
            smoke=True,
        ),
    ]
    return cases
