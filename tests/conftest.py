import atexit
import os
import shutil
import sys
import tempfile

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.path.join(os.path.dirname(HERE), "build")
if BUILD not in sys.path:
    sys.path.insert(0, BUILD)

# What the keyboards learn (the pinyin user dictionary) goes to the user's data folder: in a test
# run, a fresh one, never the real user's.
os.environ["XDG_DATA_HOME"] = tempfile.mkdtemp(prefix="tov_touch-data-")
atexit.register(shutil.rmtree, os.environ["XDG_DATA_HOME"], True)


@pytest.fixture(scope="session")
def app():
    import wx
    application = wx.App(False)
    yield application


@pytest.fixture
def frame(app):
    import wx
    window = wx.Frame(None, title="host", size=(400, 300))
    window.Show()
    yield window
    for child in wx.GetTopLevelWindows():
        if child is not window:
            child.Destroy()
    window.Destroy()
    app.Yield(True)


@pytest.fixture
def message_boxes(monkeypatch):
    """Replaces wx.MessageBox by a recorder: a list of (message, kwargs) in call order."""
    import wx
    calls = []

    def record(message, *args, **kwargs):
        calls.append((message, args, kwargs))
        return wx.OK

    monkeypatch.setattr(wx, "MessageBox", record)
    return calls


def pytest_terminal_summary(terminalreporter):
    """Puts the fuzzing and leak summaries in the log even when their tests pass."""
    build = os.path.join(os.path.dirname(HERE), "build")
    for name in ("fuzz-summary.txt", "refcount-summary.txt"):
        path = os.path.join(build, name)
        started = getattr(terminalreporter, "_sessionstarttime", None)
        if os.path.exists(path) and (started is None or os.path.getmtime(path) >= started):
            terminalreporter.write_sep("-", name)
            with open(path) as stream:
                terminalreporter.write(stream.read())

# `make test-sanitize` points TOUCH_BUILD at the sanitiser build; it must win over build/.
if os.environ.get("TOUCH_BUILD"):
    sys.path.insert(0, os.path.abspath(os.environ["TOUCH_BUILD"]))
