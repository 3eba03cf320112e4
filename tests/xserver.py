"""A private X server, for the tests and the demo that need a screen of their own size or theme.

-displayfd lets the server take a free display number and write it once it accepts clients (no
lock-file races with other servers); -noreset keeps it from resetting when its last client
leaves, which wx.App's probe connection would otherwise set off just as GTK opens its own (GTK
then aborts without a display).
"""
import contextlib
import os
import select
import shutil
import subprocess
import time

WINDOW_MANAGER = "openbox"  # gives windows a title bar, as on a panel's desktop
# The window managers a keypad's placement and window state are proven under: openbox, and
# icewm, which panel PCs ship and which honours every hint openbox ignores.
WINDOW_MANAGERS = ("openbox", "icewm")
START_S = 30
STOP_S = 10  # after SIGTERM; a server or window manager still there then is killed


class DisplayError(RuntimeError):
    """The X server gave no display, or went away while it was in use."""


def native_environment(**more):
    """The environment for a program that is not Python (Xvfb, openbox, xdotool): without the
    sanitiser runtime that `make test-sanitize` preloads into the interpreter, which would
    report the program's own leaks as ours."""
    environment = {k: v for k, v in os.environ.items() if k != "LD_PRELOAD"}
    environment.update(more)
    return environment


def have_window_manager(name=WINDOW_MANAGER):
    return shutil.which(name) is not None


@contextlib.contextmanager
def xvfb(width, height, window_manager=False, log_path=None):
    """Runs Xvfb with one screen of width x height, and a window manager on it if asked (True:
    openbox, or the name of one); yields the DISPLAY value. The server's output goes to
    `log_path`, whose end a DisplayError quotes."""
    binary = shutil.which("Xvfb")
    if not binary:
        raise DisplayError("Xvfb is not installed (./run setup installs it)")
    read_end, write_end = os.pipe()
    with open(log_path or os.devnull, "wb") as log:
        server = subprocess.Popen(
            [binary, "-displayfd", str(write_end), "-screen", "0",
             "%dx%dx24" % (width, height), "-noreset", "-nolisten", "tcp"],
            pass_fds=[write_end], stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            env=native_environment())
    os.close(write_end)
    try:
        with os.fdopen(read_end) as announced:
            ready = select.select([announced], [], [], START_S)[0]
            number = announced.readline().strip() if ready else ""
        if not number:
            raise DisplayError("Xvfb did not open a display (%s)%s"
                               % (_state(server), _tail(log_path)))
        display = ":" + number
        manager = WINDOW_MANAGER if window_manager is True else window_manager
        with _window_manager(display, manager) if manager else contextlib.nullcontext():
            yield display
        if server.poll() is not None:
            raise DisplayError("the virtual display %s went away during the run (%s)%s"
                               % (display, _state(server), _tail(log_path)))
    finally:
        _stop(server)


def _stop(process):
    """Ends `process`: asked first, killed when it outlives STOP_S (an emulated Xvfb on a busy
    machine can), so that a run whose work is done never fails in its cleanup."""
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(STOP_S)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def _state(server):
    try:
        return "Xvfb exited with status %d" % server.wait(timeout=1)
    except subprocess.TimeoutExpired:
        return "Xvfb is running but gave no display number in %d s" % START_S


def _tail(log_path, lines=10):
    if not log_path:
        return ""
    with open(log_path, errors="replace") as log:
        return "; its log, %s, ends:\n%s" % (log_path,
                                              "".join(log.readlines()[-lines:]) or "(empty)")


@contextlib.contextmanager
def _window_manager(display, name):
    manager = subprocess.Popen([name], env=native_environment(DISPLAY=display),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1.0)  # it has taken over the screen by then; nothing to poll without x11-utils
    try:
        yield
    finally:
        _stop(manager)
