"""Keypads opened from bound controls inside a full-screen application, under real window
managers, landscape and portrait: each opens beside what was touched, inside the work area,
and one the window manager minimizes comes back with its application (wm_child.py)."""
import json
import os
import subprocess
import sys

import pytest

from xserver import WINDOW_MANAGERS, have_window_manager, xvfb

HERE = os.path.dirname(os.path.abspath(__file__))
TOUCHES = 20

pytestmark = pytest.mark.timeout(180)


def inside(inner, outer):
    return (outer[0] <= inner[0] and outer[1] <= inner[1]
            and inner[0] + inner[2] <= outer[0] + outer[2]
            and inner[1] + inner[3] <= outer[1] + outer[3])


def overlap(a, b):
    return (min(a[0] + a[2], b[0] + b[2]) > max(a[0], b[0])
            and min(a[1] + a[3], b[1] + b[3]) > max(a[1], b[1]))


@pytest.mark.parametrize("manager", WINDOW_MANAGERS)
@pytest.mark.parametrize("width, height", [(800, 480), (600, 1024)])
def test_keypads_open_beside_the_touched_control_and_survive_minimize(manager, width, height):
    if not have_window_manager(manager):
        pytest.skip("%s is not installed (./run setup installs it)" % manager)
    env = dict(os.environ, NO_AT_BRIDGE="1", PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    with xvfb(width, height, window_manager=manager) as display:
        env["DISPLAY"] = display
        result = subprocess.run([sys.executable, os.path.join(HERE, "wm_child.py"), str(TOUCHES)],
                                env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                universal_newlines=True, timeout=150)
    assert result.returncode == 0, result.stderr[-3000:]
    report = json.loads(result.stdout.splitlines()[-1])
    kinds = set()
    for number, touch in enumerate(report["touches"]):
        where = (manager, width, height, number, touch)
        assert touch["kind"] is not None, where
        kinds.add(touch["kind"])
        assert inside(touch["frame"], report["area"]), where
        assert inside(touch["client"], touch["frame"]), where
        assert not overlap(touch["frame"], touch["touched"]), where
    assert kinds == {"DigitKeypad", "AlphaKeypad", "DigitPasswordKeypad"}
    assert report["minimized"] == {"application_iconized": False, "keypad_iconized": False,
                                   "keypad_viewable": True}
