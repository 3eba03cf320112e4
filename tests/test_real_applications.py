"""Keypads bound to the controls of real wxPython applications from Debian's archive (pronterface,
the 3D printer host; chirp, the radio programmer), under a window manager: each value typed by
touch reaches the application's own handlers, no keypad covers the control it edits, and nothing
is printed (app_child.py). `make prove-apps` installs the applications and runs this; without
them it is skipped."""
import importlib.util
import json
import os
import subprocess
import sys

import pytest

from xserver import have_window_manager, xvfb

HERE = os.path.dirname(os.path.abspath(__file__))
MODULES = {"pronterface": "printrun", "chirp": "chirp.wxui"}

pytestmark = pytest.mark.timeout(180)


def installed(module):
    try:
        return importlib.util.find_spec(module) is not None
    except ImportError:
        return False


@pytest.mark.parametrize("application", sorted(MODULES))
def test_every_value_reaches_the_application(application, tmp_path):
    if not installed(MODULES[application]) or not have_window_manager():
        pytest.skip("%s is not installed (make prove-apps installs it)" % application)
    env = dict(os.environ, NO_AT_BRIDGE="1", HOME=str(tmp_path),
               PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    with xvfb(1280, 1024, window_manager=True) as display:
        env["DISPLAY"] = display
        result = subprocess.run([sys.executable, os.path.join(HERE, "app_child.py"), application],
                                env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                universal_newlines=True, timeout=150)
    assert result.returncode == 0, result.stderr[-3000:]
    report = json.loads(result.stdout.splitlines()[-1])
    assert report["printed"] == ""
    for control in report["controls"]:
        # A second touch where the first opened nothing, as an operator's: XTest's double
        # click on a loaded machine is sometimes two single clicks.
        assert control == {"control": control["control"], "opened": True, "clear": True,
                           "heard": True, "touches": control["touches"]}
