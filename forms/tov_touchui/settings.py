"""What the settings (set_language, set_theme, set_layout) share: the kinds of argument they
take, and the canonical names they keep.

A setter stores the name from its own table, never the object it was given: a str subclass or
an object that merely compares equal to a name would otherwise come back from the getter, and
break every keypad that looks it up.
"""


def name_argument(function, argument, value, none_allowed=False):
    """`value` as an exact str (None passes where allowed); TypeError for anything else."""
    if value is None and none_allowed:
        return None
    if not isinstance(value, str):
        raise TypeError("%s() argument '%s' must be str%s, not %s" % (
            function, argument, " or None" if none_allowed else "", type(value).__name__))
    return str.__str__(value)  # an exact copy: a subclass's own __eq__ and __hash__ play no part


def canonical(text, names):
    """The entry of `names` equal to the exact str `text`, or None."""
    return next((name for name in names if name == text), None)
