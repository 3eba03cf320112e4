"""Small layout helpers shared by the touch keypads."""
import wx
import wx.grid

__all__ = ["window_fit_layout"]

# A window that cannot tell its size from its sizer alone offers `fit_into(room)`: it adapts
# its content to a client area of `room` (a wx.Size) before it is measured.
FIT_HOOK = "fit_into"

# px a keypad keeps clear around what was touched: the field's mark stays in view, and a
# window manager that places a frame a few px off (icewm) still covers nothing.
CLEARANCE = 8


def window_fit_layout(window):
    """Size `window` to what its sizer needs for the widgets shown now, and place it.

    Shrinks as well as grows, so it is the call to make after swapping key panels or changing
    fonts. A top-level window is kept wholly inside the work area of its display: one that
    can scale its content (fit_into) is scaled to fit. A window not yet shown is placed
    beside what was touched to open it, so that it does not cover the control the operator
    is looking at: centred on its parent where that covers nothing, else beside, above or
    below the control, scaled down into the room there if it must be; centred when there is
    no such room. A shown window keeps its place and its room, and only moves to stay on
    screen and clear of that control, whatever the window manager reports meanwhile.
    Returns None.
    """
    if not window.IsTopLevel():
        window.Fit()
        window.Layout()
        parent = window.GetParent()
        if parent is not None:
            parent.Layout()
        return

    decorations = window.GetSize() - window.GetClientSize()
    place = getattr(window, _PLACE, None)
    if place is None:
        place = _Place(window)
        setattr(window, _PLACE, place)
    if place.spot is None:
        rect = place.first(window, decorations)
    else:
        rect = place.again(window, decorations)
    window.SetSize(rect.GetSize())
    window.Layout()
    place.spot = rect
    window.SetPosition(rect.GetPosition())
    if not window.IsShown():
        # The window manager's frame is only known once shown: fit again then, in place,
        # and see that it framed the window where it was put.
        window.Unbind(wx.EVT_SHOW, handler=_refit_on_show)
        window.Bind(wx.EVT_SHOW, _refit_on_show)
        window.Unbind(wx.EVT_MOVE, handler=_check_framing)
        window.Bind(wx.EVT_MOVE, _check_framing)


_PLACE = "_wxtools_place"


class _Place(object):
    """What a top-level window keeps between its fits: what it keeps clear of (what was
    touched to open it), the work area, the part of it the window fits into, and its spot.
    Each is asked of the X server once: none changes while the window is open."""

    def __init__(self, window):
        self.spot = None
        if window.IsShown():  # first fitted once shown: no touch opened it; it stays put
            self.touched = None
            self.spot = window.GetScreenRect()
            self.area = self.room = _work_area(window, self.spot.GetPosition())
        else:
            self.touched = _touched_rect(window)
            anchor = _centre(self.touched) if self.touched else _wanted_centre(window)
            self.area = self.room = _work_area(window, anchor)

    def first(self, window, decorations):
        """The rectangle of a window not yet shown: the largest fit that covers nothing of
        what was touched, with the clearance if it can, else without."""
        centre = _wanted_centre(window)
        size = _fit(window, self.area, decorations)
        if self.touched is None:
            return _placement(size, self.area, centre, None)
        for clear in (wx.Rect(self.touched).Inflate(CLEARANCE, CLEARANCE), self.touched):
            rect = _placement(size, self.area, centre, clear)
            if not rect.Intersects(clear):
                self.touched = clear
                return rect
            band = _largest_fit(window, self.area, clear, decorations)
            size = _fit(window, band or self.area, decorations)
            if band is not None:
                self.touched, self.room = clear, band
                return _inside(_placement(size, band, _centre(clear), None), band)
        return rect  # covering it cannot be helped: centred, as before

    def again(self, window, decorations):
        """The rectangle of a window fitted before: its spot, unless the application or the
        operator moved it since. What the window manager reports while it maps the window
        is no move: a placeholder such as (0, 0, 4, 22), never the size the window has."""
        reported = window.GetScreenRect()
        spot = reported if window.IsShown() and reported.GetSize() == self.spot.GetSize() \
            else self.spot
        size = _fit(window, self.room, decorations)
        if self.room != self.area and not _within(_needed_size(window), self.room):
            # The window manager's frame took more than the room beside the control had
            # left: the whole work area then, over the control if it must be.
            self.room = self.area
            size = _fit(window, self.area, decorations)
        rect = _inside(wx.Rect(spot.GetPosition(), size), self.area)
        if self.touched is not None and rect.Intersects(self.touched):
            rect = _placement(size, self.room, _centre(spot), self.touched)
        return rect


def _fit(window, room, decorations):
    """The size `window` takes in `room` (a screen rectangle), its content scaled to it where
    it can be; never larger than the room: a clipped window beats one whose title bar is off
    screen."""
    fit = getattr(window, FIT_HOOK, None)
    if fit is not None:
        fit(wx.Size(room.width - decorations.width, room.height - decorations.height))
    size = _needed_size(window)
    return wx.Size(min(size.width, room.width), min(size.height, room.height))


def _largest_fit(window, area, clear, decorations):
    """The part of `area` below, above, right or left of `clear` that `window` fits into at
    the largest size, or None."""
    best, best_size = None, 0
    for band in _bands(area, clear):
        _fit(window, band, decorations)
        needed = _needed_size(window)
        if _within(needed, band) and needed.width * needed.height > best_size:
            best, best_size = band, needed.width * needed.height
    return best


def _within(size, room):
    """Does `size` fit into `room` (anything with a width and a height)?"""
    return size.width <= room.width and size.height <= room.height


def _bands(area, clear):
    bands = [wx.Rect(area.x, clear.GetBottom() + 1, area.width,
                     area.GetBottom() - clear.GetBottom()),
             wx.Rect(area.x, area.y, area.width, clear.y - area.y),
             wx.Rect(clear.GetRight() + 1, area.y, area.GetRight() - clear.GetRight(),
                     area.height),
             wx.Rect(area.x, area.y, clear.x - area.x, area.height)]
    return [band for band in bands if band.width > 0 and band.height > 0]


def _check_framing(event):
    """The window manager's first real report of a new window (not a placeholder: it has the
    window's size). One that framed it off its spot (icewm puts the frame a few px off as it
    maps a window) is asked again: a move of a mapped window it makes exactly."""
    event.Skip()
    window = event.GetEventObject()
    spot, reported = getattr(window, _PLACE).spot, window.GetScreenRect()
    if not window.IsShown() or reported.GetSize() != spot.GetSize():
        return
    window.Unbind(wx.EVT_MOVE, handler=_check_framing)
    if reported.GetPosition() != spot.GetPosition():
        wx.CallAfter(_move_if_alive, window, spot.GetPosition())


def _move_if_alive(window, position):
    if window and window.IsShown():
        window.SetPosition(position)


def _refit_on_show(event):
    event.Skip()
    window = event.GetEventObject()
    window.Unbind(wx.EVT_SHOW, handler=_refit_on_show)
    if event.IsShown():
        wx.CallAfter(_refit_if_alive, window)


def _refit_if_alive(window):
    # A destroyed window is falsy. Where the window manager's frame took no more room than
    # estimated, the fit made before showing stands.
    if window and window.IsShown() and not _within(_needed_size(window), window.GetSize()):
        window_fit_layout(window)


def _needed_size(window):
    sizer = window.GetSizer()
    if sizer is None:
        return window.GetBestSize()
    return window.ClientToWindowSize(sizer.GetMinSize())


def _touched_rect(window):
    """The screen rectangle to keep clear: the control under the pointer (where a touch
    screen leaves it), the grid cell under it, or a finger's breadth around the pointer on
    another large control; None when the pointer is on no window of this application."""
    point = wx.GetMousePosition()
    hit = wx.FindWindowAtPoint(point)
    if hit is None or hit is window or hit.GetTopLevelParent() is window:
        return None
    rect = hit.GetScreenRect()
    area = _work_area(window, point)
    if isinstance(hit.GetParent(), wx.grid.Grid):
        rect = _cell_at(hit.GetParent(), hit, point) or rect
    if rect.width * 3 > area.width or rect.height * 3 > area.height:
        rect = wx.Rect(point.x - 24, point.y - 24, 48, 48)
    return rect


def _cell_at(grid, cells, point):
    """The screen rectangle of the cell of `grid` under `point`, on its cell window `cells`."""
    row, col = grid.XYToCell(grid.CalcUnscrolledPosition(cells.ScreenToClient(point)))
    if row < 0 or col < 0:
        return None
    rect = grid.CellToRect(row, col)
    return wx.Rect(cells.ClientToScreen(grid.CalcScrolledPosition(rect.GetPosition())),
                   rect.GetSize())


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
