"""Keyboard layouts of the text keyboard, as data.

A layout gives the two symbol rows (unshifted and shifted, each symbol where its base key is)
and the three letter rows; the caps state types the letters' upper case.
"""

LAYOUTS = {
    "us": {
        "symbols": ("`1234567890-=", "[]\\;',./"),
        "shifted_symbols": ("~!@#$%^&*()_+", "{}|:\"<>?"),
        "letters": ("qwertyuiop", "asdfghjkl", "zxcvbnm"),
    },
}


def layout(name="us"):
    return LAYOUTS[name]
