"""The application destroys every top-level window while a keypad is modal.

Each case runs in a child process (tests/teardown_child.py), so that a crash fails one case
instead of ending the run. Freed memory is filled with a pattern (glibc's MALLOC_PERTURB_, or
ASan's free fill under the sanitiser build), so code that runs on a deleted dialog crashes every
time rather than once in a while.
"""
import os
import subprocess
import sys

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
CHILD = os.path.join(HERE, "teardown_child.py")
FREED_BYTE = 165

pytestmark = pytest.mark.timeout(120)

# (control touched, what the finger is doing when the windows go)
CASES = [
    ("password", "idle"), ("password", "backspace-held"), ("password", "alternatives-open"),
    ("read-only", "idle"), ("read-only", "backspace-held"), ("read-only", "alternatives-open"),
    ("numeric", "backspace-held"), ("grid", "idle"), ("pin-button", "backspace-held"),
]


def child_env():
    env = dict(os.environ, MALLOC_PERTURB_=str(FREED_BYTE), NO_AT_BRIDGE="1")
    build = os.environ.get("TOUCH_BUILD") or os.path.join(os.path.dirname(HERE), "build")
    env["PYTHONPATH"] = os.pathsep.join([build, HERE] + [p for p in [env.get("PYTHONPATH")] if p])
    if env.get("ASAN_OPTIONS"):
        env["ASAN_OPTIONS"] += ":max_free_fill_size=65536:free_fill_byte=%d" % FREED_BYTE
    return env


@pytest.mark.parametrize("order", ["listed", "reversed"])
@pytest.mark.parametrize("control, state", CASES, ids=["-".join(c) for c in CASES])
def test_destroying_every_window_under_a_modal_keypad(control, state, order):
    child = subprocess.run([sys.executable, CHILD, control, state, order], env=child_env(),
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           universal_newlines=True, timeout=60)
    report = "exit %d\n%s%s" % (child.returncode, child.stdout, child.stderr[-3000:])
    assert child.returncode == 0, report
    assert child.stdout.split() == ["opened", "ended"], report
    for trouble in ("CRITICAL", "Traceback"):
        assert trouble not in child.stderr, report
