"""A private X server for tests that need a screen of their own size or theme."""
import contextlib
import os
import shutil
import subprocess
import time


WINDOW_MANAGER = "openbox"  # gives windows a title bar, as on a panel's desktop


def have_window_manager():
    return shutil.which(WINDOW_MANAGER) is not None


@contextlib.contextmanager
def xvfb(width, height, window_manager=False):
    """Runs Xvfb with one screen of width x height, and openbox on it if asked; yields the
    DISPLAY value.

    -displayfd lets the server pick a free display number and tell us (no lock-file races
    with other servers), -noreset keeps it from resetting whenever its last client leaves.
    """
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height),
         "-noreset", "-nolisten", "tcp"],
        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    try:
        with os.fdopen(read_end) as announced:
            number = announced.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start (exit status %s)" % server.poll())
        display = ":" + number
        with _window_manager(display) if window_manager else contextlib.nullcontext():
            yield display
    finally:
        server.terminate()
        server.wait(10)


@contextlib.contextmanager
def _window_manager(display):
    manager = subprocess.Popen([WINDOW_MANAGER], env=dict(os.environ, DISPLAY=display),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1.0)  # it has taken over the screen by then; nothing to poll without x11-utils
    try:
        yield
    finally:
        manager.terminate()
        manager.wait(10)
