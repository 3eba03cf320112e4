import wx

__all__ = ["window_fit_layout"]

def window_fit_layout(window: wx.Window) -> None: ...
