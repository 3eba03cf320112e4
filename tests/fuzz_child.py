"""Child process of tests/test_fuzz.py: runs a range of generated calls into tov_touch.

    python3 fuzz_child.py SEED FIRST COUNT      # calls FIRST .. FIRST+COUNT-1
    python3 fuzz_child.py SEED INDEX 1          # one call, to confirm a culprit

Call number i is generated from its own Random(SEED, i), so one call can be replayed alone. Before
each call the child writes "> i" on stdout (flushed), so a parent that sees the child die knows
which call killed it; the last line is a JSON summary. Modal loops and message boxes are stubbed:
nothing here may wait for a user.
"""
import ctypes
import faulthandler
import gc
import inspect
import json
import os
import random
import sys

import wx
import wx.grid

import tov_touch
import tov_touchui

# A call that hangs must end the child (and be named by the last "> i" line), not the test run.
HANG_SECONDS = float(os.environ.get("FUZZ_HANG_SECONDS", "60"))

# The harness's own check: a call number at which the child segfaults on purpose.
CRASH_AT = int(os.environ.get("FUZZ_CRASH_AT", "-1"))

OUT = os.fdopen(os.dup(1), "w", buffering=1)


# ---------------------------------------------------------------------------------------------
# Awkward values

class Boom(Exception):
    pass


def _raise(*args, **kwargs):
    raise Boom("raised on purpose")


class StrSub(str):
    pass


class FloatSub(float):
    pass


class IntSub(int):
    pass


class RaisingEq(object):
    __eq__ = __ne__ = __lt__ = __gt__ = __le__ = __ge__ = _raise
    __hash__ = object.__hash__


class RaisingStr(object):
    __str__ = __repr__ = __format__ = _raise


class RaisingFloat(object):
    __float__ = __index__ = __int__ = _raise


class RaisingBool(object):
    __bool__ = __len__ = _raise


class WrongTypes(object):
    """Dunder methods that answer with the wrong type."""

    def __str__(self):
        return 5

    def __float__(self):
        return "1.5"

    def __index__(self):
        return 2.5

    def __bool__(self):
        return "yes"

    def __lt__(self, other):
        return RaisingBool()

    __gt__ = __le__ = __ge__ = __lt__


class Everything(object):
    """A duck answering every attribute with a callable that raises."""

    def __getattr__(self, name):
        if name.startswith("__"):
            raise AttributeError(name)
        return _raise


class Control(object):
    """A control stand-in built from the given accessors (values or raising callables)."""

    def __init__(self, **methods):
        for name, method in methods.items():
            setattr(self, name, method)

    def GetWindowStyle(self):
        return 0


class BadAttribute(object):
    @property
    def GetValue(self):
        raise Boom("property raised")

    @property
    def _minimum(self):
        raise Boom("bound raised")

    _maximum = _minimum


class Reentrant(object):
    """A field whose GetValue calls back into the module for itself: unbounded recursion."""

    def __init__(self):
        self.mValueField = self

    def GetValue(self):
        return tov_touch.DigitKeypad.get_value(self)

    def __lt__(self, other):
        return tov_touch.DigitKeypad.out_of_range(Bounds(self, self), self)

    __gt__ = __lt__


class Bounds(object):
    def __init__(self, minimum, maximum):
        self._minimum = minimum
        self._maximum = maximum


def scalars():
    return [
        0, 1, -1, 7, 2 ** 31, -2 ** 31 - 1, 2 ** 63, 2 ** 64 + 1, -2 ** 200, 10 ** 400, True, False,
        0.0, -0.0, 0.5, 1e308, -1e308, 5e-324, float("nan"), float("inf"), float("-inf"),
        "", " ", "0", "12", "-", "-.", ".", "5.", "1e5", " 3 ", "abc", "\u00e9\u221e\u4e2d",
        "\ud800", "x\ud83dy", "\x00", "9" * 5000, "\n\t",
        b"", b"12", b"\xff\xfe", bytearray(b"3"), None, Ellipsis, NotImplemented,
        StrSub("5"), StrSub(""), FloatSub("nan"), IntSub(3), complex(1, 2),
        [], [1, 2], (), (1,), {}, {"a": 1}, set(), frozenset([1]), object(), object, type, int,
        len, lambda *a, **k: None, _raise,
        RaisingEq(), RaisingStr(), RaisingFloat(), RaisingBool(), WrongTypes(), Everything(),
        BadAttribute(), Bounds(0, 10), Bounds(None, "x"), Bounds(RaisingEq(), RaisingEq()),
        Bounds(float("nan"), float("nan")), Reentrant(), Bounds(Reentrant(), 1),
        Control(GetValue=_raise, SetValue=_raise),
        Control(GetValue=lambda: 5, SetValue=lambda v: None),
        Control(GetValue=lambda: RaisingStr(), GetLabel=_raise),
        Control(GetLabel=lambda: None, SetLabel=_raise),
        Control(GetCellValue=_raise, SetCellValue=_raise, GetGridCursorRow=lambda: -1,
                GetGridCursorCol=lambda: 2 ** 70),
        Control(GetParent=_raise, GetValue=lambda: "1", Bind=_raise),
    ]


class World(object):
    """The live wx objects the calls may receive or be bound to, rebuilt if a call kills one."""

    def __init__(self):
        self.app = wx.App(False)
        self.frame = wx.Frame(None, title="fuzz", size=(400, 300))
        self.frame.Show()
        self.refresh()

    def alive(self, window):
        try:
            return bool(window)
        except Exception:
            return False

    def refresh(self):
        if not self.alive(self.frame):
            self.frame = wx.Frame(None, title="fuzz", size=(400, 300))
            self.frame.Show()
        f = self.frame
        self.text = self._keep("text", lambda: wx.TextCtrl(f, value=" 4 "))
        self.label = self._keep("label", lambda: wx.StaticText(f, label="2.5"))
        self.grid = self._keep("grid", self._grid)
        self.button = self._keep("button", lambda: wx.Button(f, label="7"))
        self.digit = self._keep("digit", lambda: tov_touch.DigitKeypad(
            f, tov_touch.KEYPAD_MODE_FLOAT, 0, 10))
        self.alpha = self._keep("alpha", lambda: tov_touch.AlphaKeypad(f))
        self.pin = self._keep("pin", lambda: tov_touch.DigitPasswordKeypad(f))
        self.digit_proxy = self._keep_plain("digit_proxy", lambda: tov_touch.DigitKeypadProxy(
            self.text, tov_touch.KEYPAD_MODE_FLOAT, 0, 10))
        self.alpha_proxy = self._keep_plain("alpha_proxy", lambda: tov_touch.AlphaKeypadProxy(
            self.label))
        self.ctrl_wrapper = self._keep_plain("ctrl_wrapper", lambda: tov_touch._CtrlWrapper(
            self.text))
        self.grid_wrapper = self._keep_plain("grid_wrapper", lambda: tov_touch._GridWrapper(
            self.grid))
        self.dead = wx.TextCtrl(f)
        self.dead.Destroy()
        self.dead_dialog = tov_touch.DigitPasswordKeypad(f)
        self.dead_dialog.Destroy()
        self.keep = {id(w) for w in self.windows()}
        self.pool = self._values()

    def _grid(self):
        grid = wx.grid.Grid(self.frame)
        grid.CreateGrid(3, 3)
        return grid

    def _keep(self, name, make):
        current = getattr(self, name, None)
        return current if current is not None and self.alive(current) else make()

    def _keep_plain(self, name, make):
        current = getattr(self, name, None)
        return current if current is not None else make()

    def windows(self):
        return [self.frame, self.digit, self.alpha, self.pin]

    def events(self):
        button = self.digit.m_button2 if self.alive(self.digit) else self.button
        click = wx.CommandEvent(wx.wxEVT_BUTTON, button.GetId())
        click.SetEventObject(button)
        foreign = wx.CommandEvent(wx.wxEVT_BUTTON, self.button.GetId())
        foreign.SetEventObject(self.button)
        mouse = wx.MouseEvent(wx.wxEVT_LEFT_DOWN)
        mouse.SetEventObject(self.text)
        cell = wx.grid.GridEvent(self.grid.GetId(), wx.grid.wxEVT_GRID_CELL_LEFT_DCLICK,
                                 self.grid, 1, 1)
        orphan = wx.CommandEvent(wx.wxEVT_BUTTON, self.button.GetId())
        return [click, foreign, mouse, cell, wx.CommandEvent(), orphan, wx.KeyEvent()]

    def values(self):
        return self.pool

    def _values(self):
        return scalars() + self.events() + [
            self.frame, self.text, self.label, self.grid, self.button, self.digit, self.alpha,
            self.pin, self.dead, self.dead_dialog, self.digit_proxy, self.alpha_proxy,
            self.ctrl_wrapper, self.grid_wrapper, tov_touch.KEYPAD_MODE_INT,
            tov_touch.KEYPAD_MODE_FLOAT, 2]

    def instances(self, cls):
        mine = [self.digit, self.alpha, self.pin, self.digit_proxy, self.alpha_proxy,
                self.ctrl_wrapper, self.grid_wrapper]
        return [o for o in mine if isinstance(o, cls)]

    def sweep(self):
        """Destroys the dialogs and frames the last call created and left behind."""
        for window in wx.GetTopLevelWindows():
            if id(window) not in self.keep and window is not self.frame:
                try:
                    if window.IsModal():
                        window.EndModal(wx.ID_CANCEL)
                    window.Destroy()
                except Exception:
                    pass


# ---------------------------------------------------------------------------------------------
# The targets: every public callable, every method (bound and through the class), every property

def targets():
    found = []
    for name in sorted(vars(tov_touch)):
        obj = getattr(tov_touch, name)
        if name.startswith("__") or inspect.ismodule(obj):
            continue
        if isinstance(obj, type):
            if obj.__module__ != "tov_touch":
                continue
            found.append(("class", name, obj, None))
            for attr, member in vars(obj).items():
                if isinstance(member, property):
                    found.append(("property", name, obj, attr))
                elif isinstance(member, staticmethod):
                    found.append(("static", name, obj, attr))
                elif callable(member) and not isinstance(member, type):
                    found.append(("unbound", name, obj, attr))
                    found.append(("bound", name, obj, attr))
        elif callable(obj) and getattr(obj, "__module__", None) == "tov_touch":
            found.append(("function", name, obj, None))
    return found


def parameter_names(func):
    try:
        return list(inspect.signature(func).parameters)
    except (TypeError, ValueError):
        return []


def plausible(world, name):
    """Values of the right kind for a parameter, so that calls get past the argument checks."""
    numbers = [0, 1, -1, 10, 2.5, -0.0, float("nan"), float("inf"), float("-inf"), 2 ** 64,
               "3", None]
    texts = ["", "12", "-", "-.", "5.", "abc", "\u00e9\u221e", "\ud800", None, 12, 2.5,
             StrSub("7"), RaisingStr()]
    table = {
        "parent": [world.frame, world.frame, world.text, None, world.dead, world.digit],
        "ctrl": [world.text, world.label, world.grid, world.dead, world.button,
                 Control(GetValue=lambda: "1", SetValue=lambda v: None)],
        "widget": [None, world.text, world.label, world.dead],
        "mode": [0, 1, 2, -1, True, None],
        "minimum": numbers, "maximum": numbers, "value": texts + numbers, "put": texts,
        "message": texts, "password_mode": [None, True, False, 0, 1, RaisingBool()],
        "font_size": [1, 20, 0, -5, 10 ** 6, 2.5, None], "show_size": [None, (300, 200), 5],
        "event": world.events() + [None], "on": [True, False, 0, RaisingBool()],
        "button": [world.button, world.dead, None], "self": world.windows(),
    }
    return table.get(name)


def arguments(rng, world, names):
    pool = world.values()
    if names and rng.random() < 0.5:
        # Right arity, mostly right kinds: the paths behind the argument parsing.
        count = rng.randint(min(len(names), 1), len(names))
        args = []
        for name in names[:count]:
            choices = plausible(world, name)
            args.append(rng.choice(choices) if choices and rng.random() < 0.85
                        else rng.choice(pool))
        return args, {}
    count = max(0, len(names) + rng.choice([-2, -1, 0, 0, 0, 0, 1, 2]))
    if rng.random() < 0.3 and names:
        count = min(count, len(names))
    args = [rng.choice(pool) for _ in range(count)]
    kwargs = {}
    if rng.random() < 0.4 and names:
        for _ in range(rng.randint(1, 3)):
            if rng.random() < 0.75:
                key = rng.choice(names)
            else:
                key = rng.choice(["bogus", "", "\u00e9", "self", "value ", "kwargs"])
            kwargs[key] = rng.choice(pool)
        if rng.random() < 0.7:  # mostly avoid the trivially duplicated positional
            args = args[:max(0, min(len(args), min((names.index(k) for k in kwargs if k in names),
                                                    default=len(args))))]
    return args, kwargs


def describe(value):
    try:
        text = repr(value)
    except BaseException:
        text = "<%s>" % type(value).__name__
    return text if len(text) < 60 else text[:57] + "..."


def make_call(seed, index, world, all_targets):
    """The description and the thunk of call number `index`."""
    rng = random.Random("%d:%d" % (seed, index))
    kind, cname, obj, attr = all_targets[index % len(all_targets)]
    pool = world.values()
    if kind in ("class", "function"):
        names = parameter_names(obj.__init__ if kind == "class" else obj)
        if kind == "class" and names[:1] == ["self"]:
            names = names[1:]
        args, kwargs = arguments(rng, world, names)
        func, label = obj, cname
    elif kind == "static":
        func = getattr(obj, attr)
        args, kwargs = arguments(rng, world, parameter_names(func))
        label = "%s.%s" % (cname, attr)
    elif kind == "unbound":
        func = vars(obj)[attr]
        args, kwargs = arguments(rng, world, parameter_names(func))
        if args or rng.random() < 0.8:
            first = rng.choice(pool + world.instances(obj) * 3)
            if (attr == "__init__" and isinstance(first, wx.Window)
                    and not isinstance(first, obj)):
                # wx itself segfaults when a live window of another class is initialised as a
                # dialog (the pure-Python forms do the same), so that is not ours to find.
                first = rng.choice(scalars())
            args = [first] + args[1:]
        label = "%s.%s (through the class)" % (cname, attr)
    elif kind == "bound":
        instances = world.instances(obj)
        if not instances:
            return None
        target = rng.choice(instances)
        func = getattr(target, attr)
        names = parameter_names(func)
        args, kwargs = arguments(rng, world, names)
        label = "%s().%s" % (cname, attr)
    else:  # property: read, write and delete, on an instance or on anything through fget/fset
        prop = vars(obj)[attr]
        instances = world.instances(obj)
        holder = rng.choice(instances) if instances and rng.random() < 0.7 else rng.choice(pool)
        value = rng.choice(pool)
        action = rng.choice(["get", "set", "set", "del"])
        label = "%s.%s %s" % (cname, attr, action)
        if action == "get":
            return label, [holder], {}, (lambda: prop.__get__(holder, type(holder)))
        if action == "set":
            return label, [holder, value], {}, (lambda: prop.__set__(holder, value))
        return label, [holder], {}, (lambda: prop.__delete__(holder))
    return label, args, kwargs, (lambda: func(*args, **kwargs))


def install_stubs(seed):
    answers = random.Random(seed)

    def show_modal(self):
        return answers.choice([wx.ID_OK, wx.ID_CANCEL, wx.ID_OK])

    wx.Dialog.ShowModal = show_modal
    for cls in (tov_touch.DigitKeypad, tov_touch.AlphaKeypad, tov_touch.DigitPasswordKeypad,
                tov_touchui.DigitKeypad, tov_touchui.AlphaKeypad,
                tov_touchui.DigitPasswordKeypad):
        if "ShowModal" in vars(cls):
            setattr(cls, "ShowModal", show_modal)
    wx.MessageBox = lambda *args, **kwargs: wx.OK
    # EndModal on a dialog that is not modal is a wx assertion, which becomes an exception; it
    # must not open the assertion dialog.
    wx.GetApp().SetAssertMode(wx.APP_ASSERT_EXCEPTION)


def main():
    seed, first, count = (int(a) for a in sys.argv[1:4])
    faulthandler.enable()
    world = World()
    install_stubs(seed)
    all_targets = targets()
    outcomes = {"returned": 0, "raised": 0, "skipped": 0}
    kinds = {}
    system_errors = []
    for index in range(first, first + count):
        call = make_call(seed, index, world, all_targets)
        if call is None:
            outcomes["skipped"] += 1
            continue
        label, args, kwargs, thunk = call
        OUT.write("> %d %s\n" % (index, label))
        faulthandler.dump_traceback_later(HANG_SECONDS, exit=True)
        try:
            if index == CRASH_AT:
                ctypes.string_at(0)
            thunk()
        except BaseException as exc:  # every Python exception is an acceptable outcome
            outcomes["raised"] += 1
            kinds[type(exc).__name__] = kinds.get(type(exc).__name__, 0) + 1
            if isinstance(exc, SystemError):
                system_errors.append("%d %s(%s) -> %s" % (
                    index, label, ", ".join(describe(a) for a in args)
                    + "".join(", %s=%s" % (k, describe(v)) for k, v in kwargs.items()), exc))
        else:
            outcomes["returned"] += 1
        finally:
            faulthandler.cancel_dump_traceback_later()
        del thunk, args, kwargs, call
        world.sweep()
        if index % 50 == 0:
            world.app.Yield(True)
            world.refresh()
            gc.collect()
    world.sweep()
    OUT.write(json.dumps({"outcomes": outcomes, "exceptions": kinds,
                          "targets": len(all_targets), "system_errors": system_errors}) + "\n")
    OUT.flush()
    # Skip interpreter teardown: it is not what is being fuzzed, and wx's is slow.
    os._exit(0)


if __name__ == "__main__":
    main()
