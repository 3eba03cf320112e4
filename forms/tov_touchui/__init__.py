"""Forms of the touch-panel keypads: widgets, layout, and the wiring of keys to handlers.

What a key does is decided by a subclass (the tov_touch extension). It calls
`Form.__init__(self, parent)`, then adjusts the widgets and overrides the handler methods. The
forms bind every key to its handler by name on `self`, so the subclass's method is the one that
runs; the handlers defined here only skip the event.

The parts:
    keys        the drawn touch key (and the native shift button the keypad class colours)
    texts       the drawn captions and value field
    keypad      what the forms share: building, the char hook, ending, scaling to the screen
    digit       the numeric keypad and the PIN pad
    alpha       the text keyboard; layouts holds its key rows as data (east_asian_layouts
                those of Japanese, Korean, Traditional Chinese), and the choice of layout
    composing   the composing layouts' machinery (pinyin, romaji and kana, Hangul, zhuyin);
                engine_server runs an engine in a process of its own, its backends beside it
                (hangul, chewing, anthy with kana)
    theme       the palettes and the choice of theme
    captions    the texts the forms draw, one table per language, and the choice of language
    settings    what the three choices share: the kinds they take, the names they keep
    characters  what one character is to the operator (what ⌫ takes)
    editing     a bound control while its keypad is open: its name as the prompt, its mark, and
                the events that tell the application how the keypad ended

A physical keyboard, where a panel has one, works through the same keys: the form's char hook
finds the key a keystroke stands for and fires that key's EVT_BUTTON, so typing and touching go
down exactly the same path.

The application chooses, for every keypad opened afterwards, the look with set_theme():
"system" (the default: the light, dark or high-contrast palette that matches the desktop),
"light", "dark" or "high-contrast"; the language of the captions with set_language() (by
default the application's: its wx.Locale, else LANGUAGE, LC_ALL, LC_MESSAGES, LANG; English
when none is known); and the text keyboard's layout with set_layout() (by default the
language's). Operators in work gloves need bigger keys: set_smallest_key(15) makes every key
at least 15 mm either way (by the display's density, or one the application gives), the
keypads rearranging themselves to still fit the screen.
"""
from .alpha import AlphaKeypad
from .captions import LANGUAGES, caption, get_language, set_language
from .characters import without_last_character
from .digit import DigitKeypad, DigitPasswordKeypad
from .drawn import get_smallest_key, set_smallest_key
from .editing import EVT_KEYPAD_CANCEL, EVT_KEYPAD_OK, KeypadEvent
from .keys import TouchKey, fire_key
from .layouts import LAYOUTS, get_layout, set_layout
from .keystrokes import typed_char
from .theme import THEMES, get_theme, set_theme

__all__ = ["DigitKeypad", "DigitPasswordKeypad", "AlphaKeypad", "TouchKey", "THEMES",
           "set_theme", "get_theme", "LANGUAGES", "set_language", "get_language", "LAYOUTS",
           "set_layout", "get_layout", "caption", "without_last_character", "EVT_KEYPAD_OK",
           "EVT_KEYPAD_CANCEL", "KeypadEvent", "set_smallest_key", "get_smallest_key"]
