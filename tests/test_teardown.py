"""The application destroys every top-level window while a keypad is modal: with a key held
down, a row of alternatives open, or the numeric keypad's error box over it.

Each case runs in a child process (tests/teardown_child.py), so that a crash fails one case
instead of ending the run. Freed memory is filled with a pattern (glibc's MALLOC_PERTURB_, or
ASan's free fill under the sanitiser build), so code that runs on a deleted dialog crashes every
time rather than once in a while.
"""
import contextlib
import os
import subprocess
import sys

import pytest

from xserver import have_window_manager, xvfb

HERE = os.path.dirname(os.path.abspath(__file__))
CHILD = os.path.join(HERE, "teardown_child.py")
FREED_BYTE = 165

pytestmark = pytest.mark.timeout(120)

# (desktop, control touched, what is going on in the keypad when the windows go). Under a window
# manager the numeric keypad's error box has the focus, so the operator can answer it after the
# windows went.
CASES = [
    ("bare", "password", "idle"), ("bare", "password", "backspace-held"),
    ("bare", "password", "alternatives-open"), ("bare", "read-only", "idle"),
    ("bare", "read-only", "backspace-held"), ("bare", "read-only", "alternatives-open"),
    ("bare", "numeric", "backspace-held"), ("bare", "grid", "idle"),
    ("bare", "pin-button", "backspace-held"), ("openbox", "password", "alternatives-open"),
    ("openbox", "numeric", "error-box-open"), ("openbox", "grid", "error-box-open"),
]


@pytest.fixture(scope="module")
def desktops():
    """DISPLAY for each desktop: the suite's bare X server, and one of its own with openbox."""
    with contextlib.ExitStack() as stack:
        displays = {"bare": os.environ["DISPLAY"]}
        if have_window_manager():
            displays["openbox"] = stack.enter_context(xvfb(1280, 1024, window_manager=True))
        yield displays


def child_env(display):
    env = dict(os.environ, DISPLAY=display, MALLOC_PERTURB_=str(FREED_BYTE), NO_AT_BRIDGE="1")
    build = os.environ.get("TOUCH_BUILD") or os.path.join(os.path.dirname(HERE), "build")
    env["PYTHONPATH"] = os.pathsep.join([build, HERE] + [p for p in [env.get("PYTHONPATH")] if p])
    if env.get("ASAN_OPTIONS"):
        env["ASAN_OPTIONS"] += ":max_free_fill_size=65536:free_fill_byte=%d" % FREED_BYTE
    return env


@pytest.mark.parametrize("order", ["listed", "reversed"])
@pytest.mark.parametrize("desktop, control, state", CASES, ids=["-".join(c) for c in CASES])
def test_destroying_every_window_under_a_modal_keypad(desktops, desktop, control, state, order):
    if desktop not in desktops:
        pytest.skip("%s is not installed" % desktop)
    child = subprocess.run([sys.executable, CHILD, control, state, order],
                           env=child_env(desktops[desktop]),
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           universal_newlines=True, timeout=60)
    report = "exit %d\n%s%s" % (child.returncode, child.stdout, child.stderr[-3000:])
    assert child.returncode == 0, report
    assert child.stdout.split() == ["opened", "ended"], report
    for trouble in ("CRITICAL", "Traceback"):
        assert trouble not in child.stderr, report
