"""Forms of the touch-panel keypads: widgets, layout, and the wiring of keys to handlers.

What a key does is decided by a subclass (the tov_touch extension). It calls
`Form.__init__(self, parent)`, then adjusts the widgets and overrides the handler methods. The
forms bind every key to its handler by name on `self`, so the subclass's method is the one that
runs; the handlers defined here only skip the event.

The parts:
    keys      the drawn touch key (and the native shift button the keypad class colours)
    texts     the drawn captions and value field
    keypad    what the forms share: building, the char hook, ending, scaling to the screen
    digit     the numeric keypad and the PIN pad
    alpha     the text keyboard; layouts holds its key rows as data
    theme     the palettes and the developer's choice among them
    captions  the texts the forms draw

A physical keyboard, where a panel has one, works through the same keys: the form's char hook
finds the key a keystroke stands for and fires that key's EVT_BUTTON, so typing and touching go
down exactly the same path.

The application chooses the look of every keypad opened afterwards with set_theme():
"system" (the default: the light, dark or high-contrast palette that matches the desktop),
"light", "dark" or "high-contrast".
"""
from .alpha import AlphaKeypad
from .captions import caption
from .digit import DigitKeypad, DigitPasswordKeypad
from .keys import TouchKey, fire_key
from .keystrokes import typed_char
from .theme import THEMES, get_theme, set_theme

__all__ = ["DigitKeypad", "DigitPasswordKeypad", "AlphaKeypad", "TouchKey", "THEMES",
           "set_theme", "get_theme", "caption"]
