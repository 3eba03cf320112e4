"""The private X server that tests and the demo open (tests/xserver.py): ending it never fails
a run whose work is done, even when the server or its window manager outlives SIGTERM."""
import os
import stat

import pytest

import xserver

pytestmark = pytest.mark.timeout(60)

# Stand-ins on PATH, each leaving its process id beside itself: Xvfb announces display 99 on
# the descriptor -displayfd names.
XVFB = 'echo $$ >"$0.pid"\nfd=$2\n%secho 99 >&"$fd"\nexec sleep 60\n'
WINDOW_MANAGER = 'echo $$ >"$0.pid"\n%sexec sleep 60\n'
DEAF = "trap '' TERM\n"


def stand_in(folder, name, body):
    path = folder / name
    path.write_text("#!/bin/bash\n" + body)
    path.chmod(path.stat().st_mode | stat.S_IEXEC)


@pytest.mark.parametrize("deaf", ["Xvfb", "stand-in-wm"])
def test_a_server_or_window_manager_deaf_to_sigterm_is_killed(tmp_path, monkeypatch, deaf):
    stand_in(tmp_path, "Xvfb", XVFB % (DEAF if deaf == "Xvfb" else ""))
    stand_in(tmp_path, "stand-in-wm", WINDOW_MANAGER % (DEAF if deaf == "stand-in-wm" else ""))
    monkeypatch.setenv("PATH", "%s%s%s" % (tmp_path, os.pathsep, os.environ["PATH"]))
    monkeypatch.setattr(xserver, "STOP_S", 0.5)
    with xserver.xvfb(800, 480, window_manager="stand-in-wm") as display:
        assert display == ":99"
    for name in ("Xvfb", "stand-in-wm"):
        with pytest.raises(ProcessLookupError):
            os.kill(int((tmp_path / (name + ".pid")).read_text()), 0)
