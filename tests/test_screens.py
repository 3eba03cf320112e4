"""Every keypad in every state on the screens touch panels have, and in every theme: wholly on
screen, keys a finger can hit, texts and key edges that read. Each screen is an X server of its
own; a child process opens the keypads there and reports what it measured (screen_child.py)."""
import functools
import json
import os
import subprocess
import sys

import pytest

from test_languages import ASCII, TYPED
from xserver import have_window_manager, xvfb

HERE = os.path.dirname(os.path.abspath(__file__))
MIN_KEY = 44


@functools.lru_cache(maxsize=None)
def child(width, height, theme, gtk_theme="", title_bars=False, mode=None, *more):
    env = dict(os.environ, GTK_THEME=gtk_theme, NO_AT_BRIDGE="1",
               PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    with xvfb(width, height, window_manager=title_bars) as display:
        env["DISPLAY"] = display
        result = subprocess.run([sys.executable, os.path.join(HERE, "screen_child.py"), theme]
                                + ([mode] if mode else []) + list(more),
                                env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                universal_newlines=True, timeout=180)
    assert result.returncode == 0, result.stderr[-3000:]
    return json.loads(result.stdout.splitlines()[-1])


@functools.lru_cache(maxsize=None)
def measured(width, height, theme, gtk_theme="", title_bars=False, layouts=False):
    return {state["state"]: state for state in child(width, height, theme, gtk_theme,
                                                     title_bars, "layouts" if layouts else None)}


def inside(inner, outer):
    x, y, w, h = inner
    ox, oy, ow, oh = outer
    return ox <= x and oy <= y and x + w <= ox + ow and y + h <= oy + oh


def overlap(a, b):
    return min(a[0] + a[2], b[0] + b[2]) > max(a[0], b[0]) and \
        min(a[1] + a[3], b[1] + b[3]) > max(a[1], b[1])


STATES = ["numeric", "numeric-big-font", "pin", "text", "text-shifted", "text-caps",
          "text-symbols", "text-symbols-shifted", "password"]

# Landscape panels, and portrait ones (a 7" panel mounted upright is 480x800).
SCREENS = [(800, 480, False), (1024, 600, False), (1280, 800, False), (1366, 768, False),
           (1920, 1080, False), (480, 800, False), (600, 1024, False), (720, 1280, False)]
if have_window_manager():
    SCREENS += [(800, 480, True), (480, 800, True)]


def check_fit(name, state, least=MIN_KEY):
    assert inside(state["dialog"], state["area"]), name
    keys = state["keys"]
    for label, key in zip(state["labels"], keys):
        assert key[2] >= least and key[3] >= least, (name, label, key)
        assert inside(key, state["dialog"]), (name, label)
    clashes = [(state["labels"][i], state["labels"][j])
               for i in range(len(keys)) for j in range(i) if overlap(keys[i], keys[j])]
    assert clashes == [], name


@pytest.mark.parametrize("width, height, title_bars", SCREENS)
def test_every_keypad_fits_with_keys_a_finger_can_hit(width, height, title_bars):
    states = measured(width, height, "system", title_bars=title_bars)
    assert sorted(states) == sorted(STATES)
    # A portrait screen shows the letters or the symbols, with the page key, Tab and ⌫ below.
    narrow = height > width
    for name, state in states.items():
        check_fit(name, state)
        keys = 17 if "numeric" in name else 14 if name == "pin" else \
            (29 if "symbols" in name else 34) if narrow else 58
        assert len(state["keys"]) == keys, name
        if name == "pin":  # equal columns, whatever the captions (OK spans two)
            widths = sorted(key[2] for key in state["keys"])[:-1]
            assert widths[-1] - widths[0] <= 1, widths


@pytest.mark.parametrize("width, height", [(800, 480), (480, 800), (600, 1024), (720, 1280),
                                           (1280, 800), (1366, 768)])
def test_every_layout_fits_every_panel(width, height):
    states = measured(width, height, "system", layouts=True)
    for name, state in states.items():
        check_fit(name, state)


def test_large_screens_keep_at_least_todays_key_sizes():
    small, large = measured(1024, 600, "system"), measured(1920, 1080, "system")
    for name in ("numeric", "pin", "text"):
        narrowest = min(key[2] for key in large[name]["keys"])
        assert narrowest >= min(key[2] for key in small[name]["keys"]), name
        assert narrowest >= 64, name


@pytest.mark.parametrize("theme, gtk_theme", [
    ("system", ""), ("system", "Adwaita:dark"), ("light", "Adwaita:dark"),
    ("dark", ""), ("high-contrast", "")])
def test_texts_and_key_edges_read_in_every_theme(theme, gtk_theme):
    for name, state in measured(800, 480, theme, gtk_theme).items():
        assert state["field"] >= 4.5, name        # the typed value in its field
        assert state["key_text"] >= 4.5, name     # every enabled key's caption
        assert state["edges"] >= 3.0, name        # every key's boundary against the dialog
        if state["captions"] is not None:
            assert state["captions"] >= 4.5, name  # prompt and range labels


def test_a_portrait_keyboard_types_every_character_by_touch():
    """Through its pages: the letters, the digits and symbols, shift, caps, held keys."""
    texts = {name: ASCII + TYPED[name] for name in ("us", "de", "ru", "pinyin")}
    assert child(480, 800, "system", "", False, "typing", json.dumps(texts)) == texts


@pytest.mark.parametrize("density, least", [("", 57), ("=5.25", 79)])
def test_keys_for_gloves_still_fit_the_smallest_panel(density, least):
    """15 mm keys by the display's density (Xvfb's 96 dpi), and by the one a 7" 800x480
    panel has (5.25 px/mm), which the application gives: every keypad, every layout."""
    for state in child(800, 480, "system", mode="gloves" + density):
        assert state["least"] == least
        check_fit(state["state"], state, least)


@pytest.mark.parametrize("theme, gtk_theme", [("light", ""), ("dark", ""), ("high-contrast", ""),
                                              ("system", "Adwaita:dark")])
def test_a_pressed_key_shows_under_and_above_the_finger(theme, gtk_theme):
    for key in child(800, 480, theme, gtk_theme, mode="pressed"):
        name = key["state"], key["label"]
        assert key["pressed"] >= 3.0, name    # the face under the finger against the face at rest
        if key["label"] != "l":
            assert "preview_text" not in key, name  # only keys that type preview
            continue
        assert key["preview_above"] and key["preview_text"] >= 4.5, name
        width, height = key["preview_ink"]
        if key["state"] == "password":
            assert 0 < height < 1.5 * width, name  # a dot, never the character
        else:
            assert height > 2 * width, name      # the l itself
