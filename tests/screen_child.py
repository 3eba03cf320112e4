"""Opens every keypad in every state on this X display and prints, as JSON, what the fit and
theme tests check: screen rectangles of the dialog, the work area and every key, and contrast
ratios read back from the dialog's own pixels.

Run as: python3 screen_child.py THEME [layouts|pressed|gloves[=PX_PER_MM]|typing TEXTS] (with
DISPLAY set and the module on PYTHONPATH); with "layouts", the text keyboard in every layout and
state instead (the places of the keys only); with "pressed", the faces of keys under a real
press and the preview above them; with "gloves", every keypad with keys of 15 mm at least (by
the display's density, or the one given), the text keyboard in every layout too, places only;
with "typing", TEXTS ({layout: text} as JSON) typed by touch, and what each keyboard then
holds.
"""
import functools
import json
import sys

import wx

import tov_touch
import tov_touchui
from gui import flush_events, touch_down, type_by_touch
from tov_touchui.keys import TouchKey
from tov_touchui.theme import contrast

STATES = {
    "numeric": lambda parent: tov_touch.DigitKeypad(parent, tov_touch.KEYPAD_MODE_FLOAT,
                                                    -12345.5, 67890.25),
    "numeric-big-font": lambda parent: tov_touch.DigitKeypad(
        parent, tov_touch.KEYPAD_MODE_INT, 0, 100, message="Speed:", font_size=40),
    "pin": lambda parent: tov_touch.DigitPasswordKeypad(parent),
    "text": lambda parent: tov_touch.AlphaKeypad(parent, message="Batch name:"),
    "text-shifted": lambda parent: shifted(tov_touch.AlphaKeypad(parent)),
    "text-caps": lambda parent: caps(tov_touch.AlphaKeypad(parent)),
    "text-symbols": lambda parent: symbols(tov_touch.AlphaKeypad(parent)),
    "text-symbols-shifted": lambda parent: shifted(symbols(tov_touch.AlphaKeypad(parent))),
    "password": lambda parent: tov_touch.AlphaKeypad(parent, password_mode=True),
}


def layout_states():
    states = {}
    for name in tov_touchui.LAYOUTS:
        def make(parent, name=name, change=None):
            tov_touchui.set_layout(name)
            keyboard = tov_touch.AlphaKeypad(parent)
            return change(keyboard) if change else keyboard
        states["text-" + name] = make
        states["text-%s-shifted" % name] = functools.partial(make, change=shifted)
        states["text-%s-caps" % name] = functools.partial(make, change=caps)
        states["text-%s-switched" % name] = functools.partial(make, change=switched)
        states["text-%s-symbols" % name] = functools.partial(make, change=symbols)
        states["text-%s-symbols-shifted" % name] = functools.partial(
            make, change=lambda keyboard: shifted(symbols(keyboard)))
    return states


def symbols(keyboard):
    """The digits and symbols page, where the screen shows one page at a time."""
    if keyboard.ui_page.IsShown():
        press(keyboard.ui_page)
    return keyboard


def switched(keyboard):
    if keyboard.ui_layout.IsShown():
        press(keyboard.ui_layout)
    return keyboard


def press(key):
    tov_touchui.fire_key(key)


def shifted(keyboard):
    keyboard.on_shift(None)
    return keyboard


def caps(keyboard):
    keyboard.on_caps_on(None)
    return keyboard


def descendants(window):
    for child in window.GetChildren():
        yield child
        yield from descendants(child)


def visible_keys(dialog):
    return [w for w in descendants(dialog)
            if isinstance(w, TouchKey) and w.IsShownOnScreen()]


def field_of(dialog):
    for name in ("mValueField", "ui_text", "_AlphaKeypad__text_field"):
        if hasattr(dialog, name):
            return getattr(dialog, name)


def snapshot(dialog):
    dialog.Refresh()
    dialog.Update()
    flush_events(100)
    width, height = dialog.GetClientSize()
    bitmap = wx.Bitmap(width, height)
    memory = wx.MemoryDC(bitmap)
    memory.Blit(0, 0, width, height, wx.ClientDC(dialog), 0, 0)
    memory.SelectObject(wx.NullBitmap)
    return bitmap.ConvertToImage()


def pixels(image, rect):
    for y in range(max(0, rect.y), min(image.GetHeight(), rect.y + rect.height)):
        for x in range(max(0, rect.x), min(image.GetWidth(), rect.x + rect.width)):
            yield (image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y))


def text_contrast(image, rect):
    """Contrast of the text inside `rect` against its background: the most common colour
    there is the background, the colour furthest from it is the text's ink."""
    counts = {}
    for pixel in pixels(image, rect):
        counts[pixel] = counts.get(pixel, 0) + 1
    ground = max(counts, key=counts.get)
    return max(contrast(pixel, ground) for pixel in counts)


def in_client(dialog, window, inset=0):
    rect = window.GetScreenRect()
    origin = dialog.ClientToScreen(wx.Point(0, 0))
    return wx.Rect(rect.x - origin.x + inset, rect.y - origin.y + inset,
                   rect.width - 2 * inset, rect.height - 2 * inset)


def edge_contrast(dialog, image, key):
    """Contrast between the key's edge (its outermost pixels, corners left out) and the
    dialog's background just outside the key."""
    rect = in_client(dialog, key)
    ground = image.GetRed(rect.x - 2, rect.y + rect.height // 2), \
        image.GetGreen(rect.x - 2, rect.y + rect.height // 2), \
        image.GetBlue(rect.x - 2, rect.y + rect.height // 2)
    middle = rect.y + rect.height // 2, rect.x + rect.width // 2
    edge = [(rect.x + dx, middle[0]) for dx in range(3)] + \
        [(middle[1], rect.y + dy) for dy in range(3)]
    return max(contrast((image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)),
                        ground) for x, y in edge)


def measure(name, make, parent, places_only=False):
    dialog = make(parent)
    field = field_of(dialog)
    field.SetValue("8888")
    dialog.Show()
    flush_events(250)
    rect = dialog.GetScreenRect()
    area = wx.Display(wx.Display.GetFromWindow(dialog)).GetClientArea()
    keys = visible_keys(dialog)
    if places_only:
        result = {"state": name, "dialog": list(rect), "area": list(area),
                  "keys": [list(k.GetScreenRect()) for k in keys],
                  "labels": [k.GetLabel() for k in keys]}
        dialog.Destroy()
        return result
    image = snapshot(dialog)
    captions = [w for w in descendants(dialog) if isinstance(w, tov_touchui.texts.Caption)
                and w.IsShownOnScreen() and w.GetLabel()]
    result = {
        "state": name,
        "dialog": list(rect), "area": list(area),
        "keys": [list(k.GetScreenRect()) for k in keys],
        "labels": [k.GetLabel() for k in keys],
        "field": text_contrast(image, in_client(dialog, field, inset=4)),
        "captions": min(text_contrast(image, in_client(dialog, c)) for c in captions)
        if captions else None,
        "key_text": min(text_contrast(image, in_client(dialog, k, inset=6)) for k in keys
                        if k.IsEnabled()),
        "edges": min(edge_contrast(dialog, image, k) for k in keys),
    }
    dialog.Destroy()
    flush_events(50)
    return result


def face(image, rect):
    """The most common colour inside `rect`: a key's face, whatever its caption."""
    counts = {}
    for pixel in pixels(image, rect):
        counts[pixel] = counts.get(pixel, 0) + 1
    return max(counts, key=counts.get)


def ink_box(image, rect, ground):
    """(width, height) of what is drawn in `rect` on the colour `ground`."""
    xs, ys = [], []
    for y in range(rect.y, rect.y + rect.height):
        for x in range(rect.x, rect.x + rect.width):
            pixel = image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)
            if contrast(pixel, ground) >= 2.0:
                xs.append(x)
                ys.append(y)
    return (max(xs) - min(xs) + 1, max(ys) - min(ys) + 1) if xs else (0, 0)


def under_the_finger(name, keyboard, key):
    """A real press on `key`, held: the contrast between its face at rest and pressed, and
    what the preview above it shows (contrast of its caption, its ink's extent)."""
    resting = face(snapshot(keyboard), in_client(keyboard, key, inset=4))
    x, y, _, _ = key.GetScreenRect()
    sim = touch_down(key)
    flush_events(150)
    image = snapshot(keyboard)
    result = {"state": name, "label": key.GetLabel(),
              "pressed": contrast(resting, face(image, in_client(keyboard, key, inset=4)))}
    preview = keyboard._preview
    if preview and preview.IsShown():
        rect = in_client(keyboard, preview, inset=4)
        result.update(preview_text=text_contrast(image, rect),
                      preview_ink=ink_box(image, rect, face(image, rect)),
                      preview_above=preview.GetScreenRect().GetBottom() < y)
    sim.MouseMove(x - 40, y - 40)  # off the key: lifting there types nothing
    flush_events(50)
    sim.MouseUp(wx.MOUSE_BTN_LEFT)
    flush_events(100)
    return result


def pressed_faces(parent):
    results = []
    for password in (False, True):
        keyboard = tov_touch.AlphaKeypad(parent, password_mode=password)
        keyboard.Show()
        flush_events(250)
        keys = [find(keyboard, "l"), keyboard.ui_ok] if password else [
            find(keyboard, "l"), keyboard.ui_shift_0, keyboard.ui_caps_lock_on, keyboard.ui_ok,
            keyboard.ui_clear]
        for key in keys:
            results.append(under_the_finger("password" if password else "text", keyboard, key))
        keyboard.Destroy()
        flush_events(50)
    return results


def typed(parent, layout, text):
    tov_touchui.set_layout(layout)
    keyboard = tov_touch.AlphaKeypad(parent)
    keyboard.Show()
    flush_events(150)
    type_by_touch(keyboard, text)
    value = keyboard.get_value()
    keyboard.Destroy()
    return value


def find(keyboard, label):
    return next(k for k in visible_keys(keyboard) if k.GetLabel() == label)


def main():
    app = wx.App(False)
    tov_touchui.set_theme(sys.argv[1])
    frame = wx.Frame(None, title="host", size=(400, 300))
    frame.Show()
    # The pointer on no window: nothing was touched to open the keypads, whose placement
    # would otherwise keep clear of the spot.
    area = wx.Display(0).GetGeometry()
    wx.UIActionSimulator().MouseMove(area.GetRight(), area.GetBottom())
    flush_events(150)
    if sys.argv[2:] == ["pressed"]:
        print(json.dumps(pressed_faces(frame)))
    elif sys.argv[2:] and sys.argv[2].startswith("gloves"):
        density = sys.argv[2].partition("=")[2]
        tov_touchui.set_smallest_key(15, float(density) if density else None)
        states = dict(STATES, **layout_states())
        print(json.dumps([dict(measure(name, make, frame, places_only=True),
                               least=tov_touchui.drawn.smallest_key_px())
                          for name, make in states.items()]))
    elif sys.argv[2:3] == ["typing"]:
        print(json.dumps({name: typed(frame, name, text)
                          for name, text in json.loads(sys.argv[3]).items()}))
    elif sys.argv[2:] == ["layouts"]:
        print(json.dumps([measure(name, make, frame, places_only=True)
                          for name, make in layout_states().items()]))
    else:
        print(json.dumps([measure(name, make, frame) for name, make in STATES.items()]))
    frame.Destroy()
    del app


if __name__ == "__main__":
    main()
