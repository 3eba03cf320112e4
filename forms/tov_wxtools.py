"""Small layout helpers shared by the touch keypads."""
import wx

__all__ = ["window_fit_layout"]

# A window that cannot tell its size from its sizer alone offers `fit_into(room)`: it adapts
# its content to a client area of `room` (a wx.Size) before it is measured.
FIT_HOOK = "fit_into"


def window_fit_layout(window):
    """Size `window` to what its sizer needs for the widgets shown now, and place it.

    Shrinks as well as grows, so it is the call to make after swapping key panels or changing
    fonts. A top-level window is kept wholly inside the work area of its display: one that
    can scale its content (fit_into) is scaled to fit. A window not yet shown is placed
    beside the point that was touched to open it when the screen has room there, so it does
    not cover the control the operator is looking at, else centred on its parent; a shown
    window stays where it is and only moves to stay on screen. Returns None.
    """
    if not window.IsTopLevel():
        window.Fit()
        window.Layout()
        parent = window.GetParent()
        if parent is not None:
            parent.Layout()
        return

    shown = window.IsShown()
    touched, area = _opening(window)
    decorations = window.GetSize() - window.GetClientSize()
    fit = getattr(window, FIT_HOOK, None)
    if fit is not None:
        fit(wx.Size(area.width - decorations.width, area.height - decorations.height))
    size = _needed_size(window)
    # Never larger than the work area: a clipped window beats one whose title bar is off
    # screen.
    size = wx.Size(min(size.width, area.width), min(size.height, area.height))
    window.SetSize(size)
    window.Layout()

    spot = getattr(window, _SPOT, None)
    if spot is None:
        rect = _placement(size, area, _wanted_centre(window), touched)
    else:
        # Keep the place it was given. Not the place the window manager reports: until it
        # has mapped the window that is a placeholder such as (0, 0).
        rect = _inside(wx.Rect(spot.GetPosition(), size), area)
        if touched is not None and rect.Intersects(touched):
            rect = _placement(size, area, _centre(spot), touched)
    rect = _inside(rect, area)
    setattr(window, _SPOT, rect)
    window.SetPosition(rect.GetPosition())
    if not shown:
        # The window manager's frame is only known once shown: fit again then, in place.
        window.Unbind(wx.EVT_SHOW, handler=_refit_on_show)
        window.Bind(wx.EVT_SHOW, _refit_on_show)


def _refit_on_show(event):
    event.Skip()
    window = event.GetEventObject()
    window.Unbind(wx.EVT_SHOW, handler=_refit_on_show)
    if event.IsShown():
        wx.CallAfter(_refit_if_alive, window)


def _refit_if_alive(window):
    # A destroyed window is falsy. Where the window manager's frame took no more room than
    # estimated, the fit made before showing stands.
    if window and window.IsShown() and not _fits(window):
        window_fit_layout(window)


def _fits(window):
    need, have = _needed_size(window), window.GetSize()
    return have.width >= need.width and have.height >= need.height


def _needed_size(window):
    sizer = window.GetSizer()
    if sizer is None:
        return window.GetBestSize()
    return window.ClientToWindowSize(sizer.GetMinSize())


def _opening(window):
    """(what was touched to open `window`, the work area it opens in), asked once per window:
    each question is a round trip to the X server, and neither changes while the window is
    open. A window first fitted once shown (no touch opened it) keeps clear of nothing."""
    if not hasattr(window, _OPENING):
        if window.IsShown():
            touched, anchor = None, window.GetScreenRect().GetPosition()
            setattr(window, _SPOT, window.GetScreenRect())
        else:
            touched = _touched_rect(window)
            anchor = _centre(touched) if touched is not None else _wanted_centre(window)
        setattr(window, _OPENING, (touched, _work_area(window, anchor)))
    return getattr(window, _OPENING)


# What a window keeps between its fits: what opened it and the work area, and its place.
_OPENING = "_wxtools_opening"
_SPOT = "_wxtools_spot"


def _touched_rect(window):
    """The screen rectangle to keep clear: the control under the pointer (where a touch
    screen leaves it), or a finger's breadth around the pointer on a large control; None
    when the pointer is on no window of this application."""
    point = wx.GetMousePosition()
    hit = wx.FindWindowAtPoint(point)
    if hit is None or hit is window or hit.GetTopLevelParent() is window:
        return None
    rect = hit.GetScreenRect()
    area = _work_area(window, point)
    if rect.width * 3 > area.width or rect.height * 3 > area.height:
        return wx.Rect(point.x - 24, point.y - 24, 48, 48)
    return rect


def _placement(size, area, centre, touched):
    """Where a window of `size` goes: centred on `centre` unless that covers `touched`;
    then the spot beside, above or below it nearest to that centre; centred if none fits."""
    centred = _inside(wx.Rect(centre.x - size.width // 2, centre.y - size.height // 2,
                              size.width, size.height), area)
    if touched is None or not centred.Intersects(touched):
        return centred
    middle = _centre(touched)
    spots = [
        wx.Rect(middle.x - size.width // 2, touched.GetBottom() + 1, *size),   # below
        wx.Rect(middle.x - size.width // 2, touched.y - size.height, *size),   # above
        wx.Rect(touched.GetRight() + 1, middle.y - size.height // 2, *size),   # right
        wx.Rect(touched.x - size.width, middle.y - size.height // 2, *size),   # left
    ]
    free = [spot for spot in (_inside(spot, area) for spot in spots)
            if not spot.Intersects(touched)]
    if not free:
        return centred
    return min(free, key=lambda spot: _distance(_centre(spot), centre))


def _inside(rect, area):
    """`rect` moved (not resized) to lie within `area` as far as it can."""
    x = max(area.x, min(rect.x, area.x + area.width - rect.width))
    y = max(area.y, min(rect.y, area.y + area.height - rect.height))
    return wx.Rect(x, y, rect.width, rect.height)


def _centre(rect):
    return wx.Point(rect.x + rect.width // 2, rect.y + rect.height // 2)


def _distance(a, b):
    return (a.x - b.x) ** 2 + (a.y - b.y) ** 2


def _wanted_centre(window):
    parent = window.GetParent()
    if parent is not None and parent.IsShownOnScreen():
        return _centre(parent.GetScreenRect())
    return _centre(_work_area(window, None))


def _work_area(window, point):
    index = wx.NOT_FOUND
    if point is not None:
        index = wx.Display.GetFromPoint(point)
    if index == wx.NOT_FOUND and window.IsShown():
        index = wx.Display.GetFromWindow(window)
    if index == wx.NOT_FOUND:
        index = 0
    return wx.Display(index).GetClientArea()
