import wx


class Grid(wx.WindowBase):
    pass


class GridEvent(wx.Event):
    pass
