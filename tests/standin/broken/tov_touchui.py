"""A form module without DigitPasswordKeypad: importing tov_touch must fail cleanly."""


class DigitKeypad(object):
    pass


class AlphaKeypad(object):
    pass
