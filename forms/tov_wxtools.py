"""Small layout helpers shared by the touch keypads."""
import wx

__all__ = ["window_fit_layout"]


def window_fit_layout(window):
    """Size `window` to what its sizer needs for the widgets shown now, and place it.

    Shrinks as well as grows, so it is the call to make after swapping key panels or changing
    fonts. A top-level window is then centred on its parent (on the screen without a shown
    parent) and kept wholly inside that display's work area. Returns None.
    """
    if not window.IsTopLevel():
        window.Fit()
        window.Layout()
        parent = window.GetParent()
        if parent is not None:
            parent.Layout()
        return

    size = _needed_size(window)
    centre = _wanted_centre(window)
    area = _work_area(window, centre)
    # Never larger than the work area: a clipped keypad beats one whose title bar and Cancel
    # key are off screen.
    size = wx.Size(min(size.width, area.width), min(size.height, area.height))
    window.SetSize(size)
    window.Layout()

    if not window.IsShown():
        # wxGTK3 measures widgets without their fonts and theme until the window is shown, so
        # a fit made now comes out too small: redo it once the window is on screen.
        window.Unbind(wx.EVT_SHOW, handler=_refit_on_show)
        window.Bind(wx.EVT_SHOW, _refit_on_show)

    x = centre.x - size.width // 2
    y = centre.y - size.height // 2
    x = max(area.x, min(x, area.x + area.width - size.width))
    y = max(area.y, min(y, area.y + area.height - size.height))
    window.SetPosition(wx.Point(x, y))


def _refit_on_show(event):
    event.Skip()
    if event.IsShown():
        window = event.GetEventObject()
        window.Unbind(wx.EVT_SHOW, handler=_refit_on_show)
        _Settler(window)


class _Settler(object):
    """Refits a window just shown, on idle, until its widgets stop changing size.

    GTK applies fonts and theme in steps over the first frames (a text field grows twice),
    so one refit at show time is not enough.
    """

    QUIET_IDLES = 5   # this many idles without a change and the layout has settled
    MAX_IDLES = 60    # about a second of frames: give up rather than watch for ever

    def __init__(self, window):
        self.window = window
        self.size = None
        self.quiet = self.idles = 0
        self.handler = self.on_idle  # one bound-method object, so Unbind finds it
        window.Bind(wx.EVT_IDLE, self.handler)
        self.step()

    def on_idle(self, event):
        event.Skip()
        self.idles += 1
        self.step()

    def step(self):
        window = self.window
        if window.IsShown():
            _forget_best_sizes(window)
            size = _needed_size(window)
            if size != self.size:
                self.size, self.quiet = size, 0
                window_fit_layout(window)
            else:
                self.quiet += 1
        if not window.IsShown() or self.quiet >= self.QUIET_IDLES or \
                self.idles >= self.MAX_IDLES:
            window.Unbind(wx.EVT_IDLE, handler=self.handler)


def _needed_size(window):
    sizer = window.GetSizer()
    if sizer is None:
        return window.GetBestSize()
    return window.ClientToWindowSize(sizer.GetMinSize())


def _forget_best_sizes(window):
    for child in window.GetChildren():
        if not child.IsTopLevel():
            child.InvalidateBestSize()
            _forget_best_sizes(child)


def _wanted_centre(window):
    parent = window.GetParent()
    if parent is not None and parent.IsShownOnScreen():
        rect = parent.GetScreenRect()
        return wx.Point(rect.x + rect.width // 2, rect.y + rect.height // 2)
    area = _work_area(window, None)
    return wx.Point(area.x + area.width // 2, area.y + area.height // 2)


def _work_area(window, point):
    index = wx.NOT_FOUND
    if point is not None:
        index = wx.Display.GetFromPoint(point)
    if index == wx.NOT_FOUND and window.IsShown():
        index = wx.Display.GetFromWindow(window)
    if index == wx.NOT_FOUND:
        index = 0
    return wx.Display(index).GetClientArea()
