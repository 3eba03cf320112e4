"""Characters as the operator sees them: a letter with its accents, a flag, an emoji with its
skin tone or a family of emoji joined by zero-width joiners is one character (an extended
grapheme cluster, by Unicode's rules as the regex module applies them), and ⌫ takes it whole.

Without the regex module ⌫ falls back to taking one code point.
"""
try:
    import regex
except ImportError:
    regex = None

_LAST_CHARACTER = regex.compile(r"\X\Z") if regex is not None else None


def without_last_character(text):
    """`text` without its last user-perceived character; "" stays "". A value that is not a
    str (a keypad class may hold anything) loses its last item."""
    if _LAST_CHARACTER is None or not isinstance(text, str):
        return text[:-1]
    last = _LAST_CHARACTER.search(text)
    return text[:last.start()] if last else text
