"""Start-up and function objects of tov_touch.

Plain unittest, runnable on CPython 3.6 to 3.14: `make test-pythons` runs this file against the
stand-in wx of tests/standin on every interpreter present; the main suite runs it against real wx.
"""
import abc
import functools
import gc
import inspect
import os
import subprocess
import sys
import textwrap
import traceback
import unittest
import weakref

import tov_touch

HERE = os.path.dirname(os.path.abspath(__file__))
INF = float("inf")

# The module's own names, in the order the module body binds them.
NAMESPACE = [
    "wx", "_grid", "AlphaKeypadUI", "DigitKeypadUI", "_DigitPasswordKeypad", "window_fit_layout",
    "_abstractmethod", "_ABC", "_Optional", "KEYPAD_MODE_INT", "KEYPAD_MODE_FLOAT",
    "DigitKeypad", "DigitPasswordKeypad", "_CtrlWrapperBase", "_CtrlWrapper", "_GridWrapper",
    "DigitKeypadProxy", "AlphaKeypad", "AlphaKeypadProxy", "input_text", "input_password",
    "input_digit_password", "input_integer", "input_float", "__test__",
]
WIDGETS = ["ui_message", "mValueField", "DotPoint"] + ["m_button%d" % i for i in range(2, 18) if i != 14] + [
    "m_staticText3", "m_staticText5", "ui_minimum", "ui_maxmum"]
IMPORT_SYSTEM = {"__name__", "__doc__", "__package__", "__loader__", "__spec__", "__file__",
                 "__builtins__", "__cached__", "__path__"}


def run_python(code, extra_path=()):
    """Runs `code` in a fresh interpreter that finds tov_touch as this one does."""
    env = dict(os.environ)
    env["PYTHONPATH"] = os.pathsep.join(list(extra_path) + [p for p in sys.path if p])
    return subprocess.run([sys.executable, "-c", textwrap.dedent(code)], env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          universal_newlines=True, timeout=60)


class Recorder(object):
    """A widget stand-in: every method call is logged on the shared `log`."""

    def __init__(self, name, log, value=""):
        self._name, self._log, self.value = name, log, value

    def __getattr__(self, method):
        def call(*args):
            self._log.append((self._name, method) + args)
            if method == "GetValue":
                return self.value
            if method == "SetValue":
                self.value = args[0]
        return call


class StartUp(unittest.TestCase):

    def test_namespace_in_binding_order(self):
        own = [name for name in vars(tov_touch) if name not in IMPORT_SYSTEM]
        self.assertEqual(own, NAMESPACE)
        self.assertIsNone(tov_touch.__doc__)
        self.assertIs(tov_touch.__builtins__, __import__("builtins"))
        self.assertEqual(tov_touch.__test__, {})

    def test_imports_and_constants(self):
        import typing
        import wx
        import wx.grid
        self.assertIs(tov_touch.wx, wx)
        self.assertIs(tov_touch._grid, wx.grid)
        self.assertIs(tov_touch._abstractmethod, abc.abstractmethod)
        self.assertIs(tov_touch._ABC, abc.ABC)
        self.assertIs(tov_touch._Optional, typing.Optional)
        for name, value in (("KEYPAD_MODE_INT", 0), ("KEYPAD_MODE_FLOAT", 1)):
            self.assertIs(type(getattr(tov_touch, name)), int)
            self.assertEqual(getattr(tov_touch, name), value)

    def test_second_import_and_reload_give_the_same_module(self):
        import importlib
        del sys.modules["tov_touch"]
        again = importlib.import_module("tov_touch")
        self.assertIs(again, tov_touch)
        self.assertIs(importlib.reload(tov_touch), tov_touch)
        self.assertEqual([n for n in vars(tov_touch) if n not in IMPORT_SYSTEM], NAMESPACE)

    def test_failed_import_starts_again_from_the_create_step(self):
        broken = os.path.join(HERE, "standin", "broken")
        result = run_python("""
            import sys, traceback
            try:
                import tov_touch
            except ImportError as exc:
                print(exc)
                print(traceback.extract_tb(exc.__traceback__)[-1].name)
            print('tov_touch' in sys.modules)
            sys.path.remove(%r)
            del sys.modules['tov_touchui']
            import tov_touch
            print(tov_touch.DigitKeypad.__module__)
        """ % broken, extra_path=[broken])
        self.assertEqual(result.stdout.split("\n")[:4], [
            "cannot import name 'DigitPasswordKeypad'", "init tov_touch", "False", "tov_touch"],
            result.stderr)

    def test_second_interpreter_is_refused(self):
        result = run_python("""
            import tov_touch
            try:
                import _testcapi
            except ImportError:
                print('no _testcapi')
                raise SystemExit
            import os, tempfile
            out = tempfile.mktemp()
            _testcapi.run_in_subinterp(
                'try:\\n import tov_touch\\n'
                'except ImportError as e:\\n open(%r, "w").write(str(e))\\n' % out)
            print(open(out).read())
            os.remove(out)
        """)
        if result.stdout.strip() == "no _testcapi":
            self.skipTest("this interpreter has no _testcapi")
        self.assertEqual(result.stdout.strip(),
                         "Interpreter change detected - this module can only be loaded into one "
                         "interpreter per process.", result.stderr)

    def test_exec_step_on_another_module_object_is_refused(self):
        result = run_python("""
            import ctypes, types, tov_touch
            library = ctypes.PyDLL(tov_touch.__file__)
            library.PyInit_tov_touch.restype = ctypes.c_void_p
            definition = library.PyInit_tov_touch()
            execute = ctypes.pythonapi.PyModule_ExecDef
            execute.argtypes = [ctypes.py_object, ctypes.c_void_p]
            try:
                execute(types.ModuleType('tov_touch'), definition)
            except RuntimeError as exc:
                print(exc)
            print(execute(tov_touch, definition))
        """)
        self.assertEqual(result.stdout.split("\n")[:2], [
            "Module 'tov_touch' has already been imported. Re-initialisation is not supported.",
            "0"], result.stderr)


class FunctionObjects(unittest.TestCase):

    def setUp(self):
        self.cls = tov_touch.DigitKeypad

    def test_attributes(self):
        init = self.cls.__dict__["__init__"]
        self.assertEqual(init.__name__, "__init__")
        self.assertEqual(init.__qualname__, "DigitKeypad.__init__")
        self.assertEqual(init.__module__, "tov_touch")
        self.assertIsNone(init.__doc__)
        self.assertEqual(init.__defaults__, (-INF, INF, None, 20, None))
        self.assertIsNone(init.__kwdefaults__)
        self.assertEqual(init.__annotations__, {"message": "unicode"})
        self.assertEqual(self.cls.out_of_range.__annotations__, {"return": bool})
        self.assertEqual(self.cls.OnDigit.__annotations__, {})
        self.assertIs(init.__globals__, vars(tov_touch))
        self.assertIn("DigitKeypad.__init__", repr(init))

    def test_code_object(self):
        code = self.cls.__init__.__code__
        self.assertEqual(code.co_filename, "touch")
        self.assertEqual(code.co_name, "__init__")
        self.assertEqual(code.co_argcount, 8)
        self.assertEqual(code.co_varnames, ("self", "parent", "mode", "minimum", "maximum",
                                            "message", "font_size", "show_size"))
        self.assertEqual(self.cls.get_value.__code__.co_varnames, ("self",))

    def test_signatures(self):
        empty = inspect.Parameter.empty
        signature = inspect.signature(self.cls.__init__)
        self.assertEqual(
            [(p.name, p.kind, p.default, p.annotation) for p in signature.parameters.values()],
            [(name, inspect.Parameter.POSITIONAL_OR_KEYWORD, default, annotation)
             for name, default, annotation in [
                 ("self", empty, empty), ("parent", empty, empty), ("mode", empty, empty),
                 ("minimum", -INF, empty), ("maximum", INF, empty), ("message", None, "unicode"),
                 ("font_size", 20, empty), ("show_size", None, empty)]])
        self.assertIs(inspect.signature(self.cls.out_of_range).return_annotation, bool)
        self.assertTrue(inspect.isroutine(self.cls.on_enter))

    def test_aliases_are_the_same_objects(self):
        self.assertIs(self.cls.__dict__["GetValue"], self.cls.__dict__["get_value"])
        self.assertIs(self.cls.__dict__["SetValue"], self.cls.__dict__["set_value"])
        self.assertEqual(list(self.cls.__dict__)[1:13], [
            "__init__", "out_of_range", "OnDigit", "OnClearAll", "OnDot", "OnNegative",
            "OnPositive", "get_value", "set_value", "on_enter", "GetValue", "SetValue"])

    def test_binds_as_a_method(self):
        class Bounds(object):
            _minimum, _maximum = 0, 10
            out_of_range = tov_touch.DigitKeypad.out_of_range
        bounds = Bounds()
        bound = bounds.out_of_range
        self.assertIs(bound.__self__, bounds)
        self.assertIs(bound.__func__, Bounds.__dict__["out_of_range"])
        self.assertIs(Bounds.out_of_range, Bounds.__dict__["out_of_range"])
        self.assertEqual([bound(-1), bound(0), bound(10), bound(11)], [True, False, False, True])
        self.assertIs(bounds.out_of_range(value=float("nan")), False)
        self.assertEqual(list(inspect.signature(bound).parameters), ["value"])

    def test_out_of_range_returns_the_comparison_result_itself(self):
        class Loud(object):
            def __lt__(self, other):
                return "below"

            def __gt__(self, other):
                return ""
        holder = type("Holder", (), {"_minimum": 0, "_maximum": 1})()
        self.assertEqual(self.cls.out_of_range(holder, Loud()), "below")

    def test_dict_abstractmethod_property_staticmethod_wraps_weakref(self):
        function = self.cls.set_value
        function.note = "kept"
        self.assertEqual(function.__dict__["note"], "kept")
        del function.note

        try:
            abstract = abc.abstractmethod(self.cls.get_value)

            class Base(abc.ABC):
                get_value = abstract
            self.assertEqual(Base.__abstractmethods__, frozenset({"get_value"}))
            self.assertRaises(TypeError, Base)
        finally:
            del self.cls.get_value.__isabstractmethod__

        class Field(object):
            def __init__(self):
                self.text = ""

            def GetValue(self):
                return self.text

            def SetValue(self, text):
                self.text = text

        class Holder(object):
            mValueField = None
            value = property(tov_touch.DigitKeypad.get_value).setter(tov_touch.DigitKeypad.set_value)
            static = staticmethod(tov_touch.DigitKeypad.out_of_range)
        holder = Holder()
        holder.mValueField = Field()
        holder.value = "12"
        self.assertEqual(holder.value, "12")
        self.assertIs(Holder.static, self.cls.out_of_range)

        @functools.wraps(self.cls.on_enter)
        def wrapper(*args):
            return None
        self.assertEqual((wrapper.__name__, wrapper.__qualname__, wrapper.__module__),
                         ("on_enter", "DigitKeypad.on_enter", "tov_touch"))
        self.assertIs(weakref.ref(self.cls.on_enter)(), self.cls.on_enter)

    def test_attribute_setters_check_types(self):
        function = self.cls.OnDot
        for attribute, value in (("__name__", 3), ("__qualname__", None),
                                 ("__defaults__", [1]), ("__annotations__", 1)):
            with self.subTest(attribute=attribute):
                self.assertRaises(TypeError, setattr, function, attribute, value)
        self.assertRaises(AttributeError, setattr, function, "__code__", None)

    def test_defaults_are_read_at_call_time(self):
        function = self.cls.out_of_range
        holder = type("Holder", (), {"_minimum": 0, "_maximum": 10})()
        try:
            function.__defaults__ = (11,)
            self.assertIs(function(holder), True)
        finally:
            function.__defaults__ = None
        self.assertRaises(TypeError, function, holder)


ARITY = [
    (lambda: tov_touch.DigitKeypad(),
     "__init__() takes at least 3 positional arguments (1 given)"),
    (lambda: tov_touch.DigitKeypad.__init__(None, None, 0, 1, 2, 3, 4, 5, 6),
     "__init__() takes at most 8 positional arguments (9 given)"),
    (lambda: tov_touch.DigitKeypad(parent=None),
     "__init__() takes at least 3 positional arguments (2 given)"),
    (lambda: tov_touch.DigitKeypad(None, colour=1),
     "__init__() got an unexpected keyword argument 'colour'"),
    (lambda: tov_touch.DigitKeypad(None, 0, parent=None),
     "__init__() got multiple values for keyword argument 'parent'"),
    # Too many positionals win over keyword errors; keyword errors over missing arguments.
    (lambda: tov_touch.DigitKeypad.__init__(1, 2, 3, 4, 5, 6, 7, 8, 9, colour=1),
     "__init__() takes at most 8 positional arguments (9 given)"),
    (lambda: tov_touch.DigitKeypad.__init__(None, colour=1),
     "__init__() got an unexpected keyword argument 'colour'"),
    (lambda: tov_touch.DigitKeypad.out_of_range(None),
     "out_of_range() takes exactly 2 positional arguments (1 given)"),
    (lambda: tov_touch.DigitKeypad.out_of_range(None, 1, 2),
     "out_of_range() takes exactly 2 positional arguments (3 given)"),
    (lambda: tov_touch.DigitKeypad.get_value(),
     "get_value() takes exactly one argument (0 given)"),
    (lambda: tov_touch.DigitKeypad.get_value(1, 2),
     "get_value() takes exactly one argument (2 given)"),
    (lambda: tov_touch.DigitKeypad.get_value(self=1),
     "get_value() takes no keyword arguments"),
    (lambda: tov_touch.DigitKeypad(None, 0, message=b"x"),
     "Argument 'message' has incorrect type (expected str, got bytes)"),
    (lambda: tov_touch.DigitKeypad(None, 0, message=5),
     "Argument 'message' has incorrect type (expected str, got int)"),
    (lambda: tov_touch.DigitKeypad(None, 0, message=type("Text", (str,), {})("x")),
     "Argument 'message' has incorrect type (expected str, got Text)"),
]


def _optional(kind):
    import typing
    return typing.Optional[kind]


# Every class: its bases (by module global name) and its namespace entries in order.
CLASSES = [
    ("DigitKeypad", ("DigitKeypadUI",), [
        "__init__", "out_of_range", "OnDigit", "OnClearAll", "OnDot", "OnNegative",
        "OnPositive", "get_value", "set_value", "on_enter", "GetValue", "SetValue"]),
    ("DigitPasswordKeypad", ("_DigitPasswordKeypad",), [
        "__init__", "on_digit", "on_clear", "on_confirm", "get_value"]),
    ("_CtrlWrapperBase", ("_ABC",), ["__init__", "get_string", "set_string", "get_parent"]),
    ("_CtrlWrapper", ("_CtrlWrapperBase",), ["__init__", "get_string", "set_string"]),
    ("_GridWrapper", ("_CtrlWrapperBase",), [
        "__init__", "row", "column", "get_string", "set_string"]),
    ("DigitKeypadProxy", (), [
        "__init__", "minimum", "maximum", "event_handler", "get_value", "set_value"]),
    ("AlphaKeypad", ("AlphaKeypadUI",), [
        "__init__", "_AlphaKeypad__change_color", "on_clear", "out_", "_AlphaKeypad__on_shift",
        "on_shift", "_AlphaKeypad__on_caps", "on_caps_on", "on_caps_off", "on_character",
        "on_backspace", "set_value", "get_value"]),
    ("AlphaKeypadProxy", (), ["__init__", "event_handler", "get_value", "set_value"]),
]


def _signatures():
    """qualified name -> (parameters, __defaults__, __annotations__), for every callable."""
    import wx
    ann = {"message": "unicode"}
    return {
        "DigitKeypad.__init__": ("self parent mode minimum maximum message font_size show_size",
                                 (-INF, INF, None, 20, None), ann),
        "DigitKeypad.out_of_range": ("self value", None, {"return": bool}),
        "DigitKeypad.OnDigit": ("self event", None, {}),
        "DigitKeypad.get_value": ("self", None, {}),
        "DigitKeypad.set_value": ("self value", None, {}),
        "DigitPasswordKeypad.__init__": (
            "self parent message font_size show_size", (None, 20, None),
            {"message": _optional(str), "font_size": "int", "show_size": "int"}),
        "DigitPasswordKeypad.on_digit": ("self event", None, {"event": wx.Event}),
        "DigitPasswordKeypad.on_confirm": ("self event", None, {}),
        "DigitPasswordKeypad.get_value": ("self", None, {"return": "unicode"}),
        "_CtrlWrapperBase.__init__": ("self ctrl", None, {}),
        "_CtrlWrapperBase.set_string": ("self value", None, {}),
        "_CtrlWrapperBase.get_parent": ("self", None, {}),
        "_GridWrapper.row": ("self value", None, {"value": "int"}),
        "DigitKeypadProxy.__init__": ("self ctrl mode minimum maximum event font_size",
                                      (0, -INF, INF, None, 20), {}),
        "DigitKeypadProxy.minimum": ("self value", None, {"value": "float"}),
        "DigitKeypadProxy.event_handler": ("self event", None, {}),
        "AlphaKeypad.__init__": ("self parent widget password_mode message", (None, None, ""), ann),
        "AlphaKeypad.__change_color": ("button value", None, {"button": wx.Button}),
        "AlphaKeypad.__on_shift": ("self on", None, {"on": bool}),
        "AlphaKeypad.__on_caps": ("self on", None, {"on": bool}),
        "AlphaKeypad.out_": ("self put", None, {}),
        "AlphaKeypadProxy.__init__": ("self ctrl password_mode event", (None, None), {}),
        "input_text": ("parent password_mode message", (False, ""),
                       {"parent": wx.WindowBase, "password_mode": bool, "message": "unicode"}),
        "input_password": ("parent message", ("",), {"parent": wx.WindowBase, "message": "unicode"}),
        "input_digit_password": ("parent message", (None,), {
            "parent": wx.WindowBase, "message": _optional(str), "return": _optional(str)}),
        "input_integer": ("parent minimum maximum message", (-INF, INF, None), {
            "parent": wx.WindowBase, "message": "unicode", "return": _optional(int)}),
        "input_float": ("parent minimum maximum message", (-INF, INF, None), {
            "parent": wx.WindowBase, "message": "unicode", "return": _optional(float)}),
    }


def _function_objects():
    """Every function object of the module, with its qualified name."""
    for name in ("input_text", "input_password", "input_digit_password", "input_integer",
                 "input_float"):
        yield getattr(tov_touch, name)
    for class_name, _, entries in CLASSES:
        for entry in entries:
            value = vars(getattr(tov_touch, class_name))[entry]
            if isinstance(value, property):
                yield value.fget
                yield value.fset
            elif isinstance(value, staticmethod):
                yield value.__func__
            else:
                yield value


def _class_body_entries(cls):
    """The namespace entries that a class body made; what type() and ABCMeta add is left out."""
    def added(key):
        return (key.startswith("__") and key.endswith("__") and key != "__init__"
                or key.startswith("_abc_"))
    return [key for key in vars(cls) if not added(key)]


class Namespace(unittest.TestCase):

    def test_classes(self):
        for class_name, bases, entries in CLASSES:
            with self.subTest(cls=class_name):
                cls = getattr(tov_touch, class_name)
                self.assertEqual(cls.__bases__,
                                 tuple(getattr(tov_touch, b) for b in bases) or (object,))
                self.assertEqual(cls.__module__, "tov_touch")
                self.assertEqual(cls.__qualname__, class_name)
                self.assertEqual(_class_body_entries(cls), entries)
                expected_doc = ("\n\tTextCtrl、StaticText 等控件的封装类。\n\t"
                                if class_name == "_CtrlWrapper" else None)
                self.assertEqual(vars(cls).get("__doc__"), expected_doc)
        self.assertIsInstance(tov_touch._CtrlWrapperBase, abc.ABCMeta)
        self.assertIs(type(tov_touch.DigitKeypadProxy), type)

    def test_decorated_entries(self):
        alpha = vars(tov_touch.AlphaKeypad)
        self.assertIsInstance(alpha["_AlphaKeypad__change_color"], staticmethod)
        for cls, names in ((tov_touch._GridWrapper, ("row", "column")),
                           (tov_touch.DigitKeypadProxy, ("minimum", "maximum"))):
            for name in names:
                prop = vars(cls)[name]
                self.assertIsInstance(prop, property)
                self.assertIsNone(prop.fdel)
                self.assertEqual((prop.fget.__name__, prop.fset.__name__), (name, name))
        for name in ("get_string", "set_string"):
            self.assertIs(getattr(tov_touch._CtrlWrapperBase, name).__isabstractmethod__, True)
        on_caps = alpha["_AlphaKeypad__on_caps"]
        self.assertEqual((on_caps.__name__, on_caps.__qualname__), ("__on_caps", "AlphaKeypad.__on_caps"))

    def test_every_function_object(self):
        expected = _signatures()
        seen = set()
        for function in _function_objects():
            qualname = function.__qualname__
            with self.subTest(function=qualname):
                self.assertEqual(function.__module__, "tov_touch")
                self.assertIsNone(function.__doc__)
                self.assertIsNone(function.__kwdefaults__)
                self.assertEqual(function.__code__.co_filename, "touch")
                self.assertEqual(function.__code__.co_name, function.__name__)
                self.assertEqual(function.__code__.co_varnames[:function.__code__.co_argcount],
                                 tuple(inspect.signature(function).parameters))
                if qualname in expected and qualname not in seen:
                    params, defaults, annotations = expected[qualname]
                    if function.__code__.co_varnames == tuple(params.split()):
                        seen.add(qualname)
                        self.assertEqual(function.__defaults__, defaults)
                        self.assertEqual(function.__annotations__, annotations)
        self.assertEqual(seen, set(expected))


class ArgumentErrors(unittest.TestCase):

    def test_texts(self):
        for call, text in ARITY:
            with self.subTest(text=text):
                with self.assertRaises(TypeError) as caught:
                    call()
                self.assertEqual(str(caught.exception), text)

    def test_the_name_is_the_definition_name(self):
        function = tov_touch.DigitKeypad.OnDot
        try:
            function.__name__ = "renamed"
            with self.assertRaises(TypeError) as caught:
                function(None)
        finally:
            function.__name__ = "OnDot"
        self.assertTrue(str(caught.exception).startswith("OnDot()"))

    def test_keywords_must_be_strings(self):
        with self.assertRaises(TypeError) as caught:
            tov_touch.DigitKeypad.out_of_range(None, **{1: 2})
        self.assertIn("keywords must be strings", str(caught.exception))

    def test_arguments_by_keyword(self):
        holder = type("Holder", (), {"_minimum": 0, "_maximum": 10})()
        self.assertIs(tov_touch.DigitKeypad.out_of_range(value=3, self=holder), False)


class Tracebacks(unittest.TestCase):

    def test_entry_names_the_function_and_keeps_the_exception(self):
        failure = ZeroDivisionError("kept")

        class Field(object):
            def GetValue(self):
                raise failure

        holder = type("Holder", (), {"mValueField": Field()})()
        try:
            tov_touch.DigitKeypad.get_value(holder)
        except ZeroDivisionError as exc:
            self.assertIs(exc, failure)
            entries = traceback.extract_tb(exc.__traceback__)
        self.assertEqual([(e.filename, e.name) for e in entries[-2:]],
                         [("touch", "tov_touch.DigitKeypad.get_value"), (__file__, "GetValue")])
        self.assertIsInstance(entries[-2].lineno, int)

    def test_argument_errors_get_an_entry_too(self):
        try:
            tov_touch.DigitKeypad.out_of_range()
        except TypeError as exc:
            last = traceback.extract_tb(exc.__traceback__)[-1]
        self.assertEqual((last.filename, last.name), ("touch", "tov_touch.DigitKeypad.out_of_range"))

    def test_runaway_recursion_is_an_exception(self):
        class Field(object):
            def GetValue(self):
                return tov_touch.DigitKeypad.get_value(holder)
        holder = type("Holder", (), {})()
        holder.mValueField = Field()
        self.assertRaises(RecursionError, tov_touch.DigitKeypad.get_value, holder)


class Globals(unittest.TestCase):
    """Module globals are looked up when a statement runs."""

    def setUp(self):
        self.saved = dict(vars(tov_touch))
        self.log = []

    def tearDown(self):
        vars(tov_touch).clear()
        vars(tov_touch).update(self.saved)

    def new_dialog(self):
        """A DigitKeypad whose form part is made of recorders, built without the real form."""
        dialog = tov_touch.DigitKeypad.__new__(tov_touch.DigitKeypad)
        log = self.log

        class Form(object):
            def __init__(self, parent):
                log.append(("form", "__init__", parent))
                for name in WIDGETS:
                    setattr(self, name, Recorder(name, log))
        tov_touch.DigitKeypadUI = Form
        tov_touch.wx = type("FakeWx", (), {
            "Font": staticmethod(lambda *args: ("font",) + args),
            "FONTFAMILY_DEFAULT": 70, "FONTSTYLE_NORMAL": 90, "FONTWEIGHT_NORMAL": 400,
            "EmptyString": ""})
        return dialog

    def test_rebinding_a_global_changes_later_calls(self):
        dialog = self.new_dialog()
        tov_touch.window_fit_layout = lambda window: self.log.append(("fit",))
        tov_touch.DigitKeypad.__init__(dialog, "parent", 0, minimum=0, maximum=2.5)
        self.assertEqual(self.log[0], ("form", "__init__", "parent"))
        self.assertIn(("ui_message", "SetLabel", "请输入一个整数："), self.log)
        self.assertEqual(self.log[-4:], [("fit",), ("ui_minimum", "SetLabel", "0"),
                                         ("ui_maxmum", "SetLabel", "2.5"), ("DotPoint", "Disable")])

        tov_touch.KEYPAD_MODE_INT = 1  # now mode 0 means floating point
        del self.log[:]
        tov_touch.DigitKeypad.__init__(dialog, "parent", 0)
        self.assertIn(("ui_message", "SetLabel", "请输入一个浮点数："), self.log)
        self.assertNotIn(("DotPoint", "Disable"), self.log)

    def test_missing_global_is_a_name_error(self):
        del tov_touch.wx
        with self.assertRaises(NameError) as caught:
            tov_touch.DigitKeypad.on_enter(type("Holder", (), {
                "mValueField": Recorder("field", self.log, "")})(), None)
        self.assertEqual(str(caught.exception), "name 'wx' is not defined")

    def test_builtins_are_the_fallback(self):
        dialog = self.new_dialog()
        del tov_touch.window_fit_layout
        builtins = __import__("builtins")
        builtins.window_fit_layout = lambda window: self.log.append(("builtin fit", window))
        try:
            tov_touch.DigitKeypad.__init__(dialog, None, 1)
        finally:
            del builtins.window_fit_layout
        self.assertIn(("builtin fit", dialog), self.log)


class Semantics(unittest.TestCase):
    """The bodies' shortcuts for common types give exactly what the Python operators give."""

    def test_out_of_range_matches_the_python_expression(self):
        class Small(int):
            def __lt__(self, other):
                return "small says below"

        class Flt(float):
            pass
        big = 2 ** 53 + 1
        numbers = [0, -0.0, 5, 5.0, True, big, float(2 ** 53), 10 ** 400, -10 ** 400, INF, -INF,
                   float("nan"), Small(3), Flt(2.5)]
        holder = type("Holder", (), {})()
        for value in numbers:
            for low in numbers:
                for high in (10, float(2 ** 53), INF, float("nan"), big):
                    holder._minimum, holder._maximum = low, high
                    expected = value < low or value > high
                    with self.subTest(value=value, low=low, high=high):
                        got = tov_touch.DigitKeypad.out_of_range(holder, value)
                        self.assertEqual((type(got), got), (type(expected), expected))
        holder._minimum, holder._maximum = "b", "y"
        self.assertEqual([tov_touch.DigitKeypad.out_of_range(holder, text) for text in "abyz"],
                         [True, False, False, True])

    def test_a_str_subclass_decides_its_own_equality(self):
        class Zeroish(str):
            def __eq__(self, other):
                return True
            __hash__ = str.__hash__
        log = []
        field = Recorder("field", log, value=Zeroish("12"))
        pad = type("Pad", (), {"mValueField": field})()
        key = type("Key", (), {"GetLabel": lambda self: "7"})()
        event = type("Event", (), {"GetEventObject": lambda self: key})()
        tov_touch.DigitKeypad.OnDigit(pad, event)
        self.assertEqual(field.value, "7")  # Zeroish("12") == "0": the lone zero gives way

    @unittest.skipIf(sys.version_info < (3, 7), "module __getattr__ arrived in 3.7")
    def test_module_attributes_keep_getattr_semantics(self):
        import types
        shown = []
        fake = types.ModuleType("fakewx")
        fake.OK, fake.ICON_ERROR = 4, 512
        fake.__getattr__ = lambda name: (lambda *a, **k: shown.append((a, k)))
        saved = tov_touch.wx
        tov_touch.wx = fake
        try:
            pad = type("Pad", (), {"mValueField": Recorder("field", [], value="")})()
            tov_touch.DigitKeypad.on_enter(pad, None)
        finally:
            tov_touch.wx = saved
        self.assertEqual(shown, [(("Invalid number format. Please input again.",),
                                  {"style": 516})])


class Collection(unittest.TestCase):

    def test_the_collector_sees_what_a_function_holds(self):
        function = tov_touch.DigitKeypad.__init__
        marker = type("Marker", (), {})()
        function.marker = marker
        try:
            referents = gc.get_referents(function)
            self.assertIn(function.__dict__, referents)
            self.assertIn(function.__defaults__, referents)
            self.assertIn(vars(tov_touch), referents)
        finally:
            del function.marker


if __name__ == "__main__":
    unittest.main()
