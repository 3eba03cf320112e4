import os
import sys

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.path.join(os.path.dirname(HERE), "build")
if BUILD not in sys.path:
    sys.path.insert(0, BUILD)


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
