"""Stand-in for wxPython: only what tov_touch needs to import and define its classes."""


class WindowBase(object):
    pass


class Event(object):
    pass


class Button(WindowBase):
    pass


class Dialog(WindowBase):
    pass


ID_OK = 5100
ID_CANCEL = 5101
TE_PASSWORD = 0x0800
EmptyString = ""
