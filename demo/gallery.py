"""Screenshots of every keypad on the panels and themes people use: a 7" 800x480 panel in the
light theme, and a 1024x600 one in GTK's dark theme and in high contrast; the text keyboard in
the German and Russian layouts, in the Japanese, Korean and Traditional Chinese ones with a
composition under way, on a 7" panel mounted upright (480x800), and the keypads with keys for
work gloves (15 mm on a 7" 800x480 panel). Each screen is an X server of its own; the shots
land in build/screenshots/ beside the walk-through's.

Run by the headless demo after its walk-through, or alone: python3 demo/gallery.py
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests"))

from xserver import xvfb  # noqa: E402

ALL = "numeric,pin,text,text-shifted"
SAMPLES = {"de": "Größe 3", "ru": "Линия 3", "romaji": "ライン3の", "kana": "ライン3の",
           "hangul": "라인 3 ",
           "zhuyin": "產線3"}  # what the operator typed, in the layout
# What the operator is composing on a composing layout, as a physical keyboard would type it.
COMPOSING = {"romaji": "nihon", "kana": "とうきよ小う", "hangul": "ㅎㅏㄴㄱㅡ",
             "zhuyin": "ㄓㄨㄥˉㄍㄨㄛˊ"}

# What a 7" 800x480 panel has, for the keys for gloves: 800 px over 152 mm.
GLOVES = "15mm@5.25"

# (file name prefix, width, height, tov_touchui theme, GTK_THEME, layout, keypads); a keypads
# entry ending in @GLOVES asks for keys of that size.
SCREENS = [
    ("panel-800x480", 800, 480, "system", "", "us", ALL),
    ("dark-1024x600", 1024, 600, "system", "Adwaita:dark", "us", ALL),
    ("high-contrast-1024x600", 1024, 600, "high-contrast", "", "us", ALL),
    ("german-1024x600", 1024, 600, "system", "", "de", "text"),
    ("russian-1024x600", 1024, 600, "system", "", "ru", "text"),
    ("japanese-800x480", 800, 480, "system", "", "romaji", "text"),
    ("kana-800x480", 800, 480, "system", "", "kana", "text"),
    ("korean-800x480", 800, 480, "system", "", "hangul", "text"),
    ("zhuyin-800x480", 800, 480, "system", "", "zhuyin", "text"),
    ("portrait-480x800", 480, 800, "system", "", "us", "text,text-symbols"),
    ("gloves-800x480", 800, 480, "system", "", "us", "text,numeric@" + GLOVES),
]


def shoot(prefix, theme, layout, wanted):
    """In this process, on this display: every keypad, shown as an operator would see it."""
    import wx
    import demo
    import tov_touch
    import tov_touchui

    app = wx.App(False)  # noqa: F841
    tov_touchui.set_theme(theme)
    tov_touchui.set_layout(layout)
    wanted, _, gloves = wanted.partition("@")
    if gloves:
        millimetres, density = gloves.split("mm@")
        tov_touchui.set_smallest_key(float(millimetres), float(density))
    frame = wx.Frame(None, title="panel", pos=(0, 0), size=(300, 200))
    frame.Show()
    # (name, the keypad, what the operator typed so far)
    keypads = [
        ("numeric", lambda: tov_touch.DigitKeypad(frame, tov_touch.KEYPAD_MODE_FLOAT, 0, 10,
                                                  "Pressure (bar):"),
         lambda keypad: keypad.set_value("2.5")),
        ("pin", lambda: tov_touch.DigitPasswordKeypad(frame, "PIN:"),
         lambda keypad: keypad.ui_text.SetValue("0470")),
        ("text", lambda: tov_touch.AlphaKeypad(frame, message="Batch name:"),
         lambda keypad: (keypad.set_value(SAMPLES.get(layout, "Line 3")),
                         keypad.ui_value_normal.on_typed(COMPOSING.get(layout, "")))),
        ("text-shifted", lambda: shifted(tov_touch.AlphaKeypad(frame)),
         lambda keypad: keypad.set_value("A-17")),
        ("text-symbols", lambda: symbols(tov_touch.AlphaKeypad(frame)),
         lambda keypad: keypad.set_value("A-17")),
    ]
    for name, make, fill in keypads:
        if name not in wanted.split(","):
            continue
        keypad = make()
        fill(keypad)
        keypad.Show()
        demo.save_png(keypad, os.path.join(demo.SCREENSHOTS, "gallery-%s-%s.png"
                                           % (prefix, name)))
        keypad.Destroy()
    frame.Destroy()


def shifted(keyboard):
    keyboard.on_shift(None)
    return keyboard


def symbols(keyboard):
    """The digits and symbols page of a narrow screen's keyboard."""
    if keyboard.ui_page.IsShown():
        import tov_touchui
        tov_touchui.fire_key(keyboard.ui_page)
    return keyboard


def main():
    if len(sys.argv) == 6 and sys.argv[1] == "--shoot":
        shoot(*sys.argv[2:])
        return 0
    failed = 0
    for prefix, width, height, theme, gtk_theme, layout, wanted in SCREENS:
        with xvfb(width, height) as display:
            env = dict(os.environ, DISPLAY=display, GTK_THEME=gtk_theme, NO_AT_BRIDGE="1")
            failed |= subprocess.call([sys.executable, os.path.abspath(__file__), "--shoot",
                                       prefix, theme, layout, wanted], env=env)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
