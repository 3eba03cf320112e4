# Type stubs for tov_wxtools, for CPython 3.6 to 3.14.
import wx

__all__ = ["window_fit_layout"]

def window_fit_layout(window: wx.Window) -> None: ...
