"""copy, deepcopy and pickle of the module's functions and methods.

They must behave as Python's own functions do: copy and deepcopy give back the function itself,
pickle stores a reference (module and qualified name) that loads as the very same object, and
what Python cannot pickle by reference (a name-mangled private method, a property's accessor)
fails here the same way. The inventory of functions is the fuzzing harness's list of targets.

Plain unittest, runnable on CPython 3.6 and later against real wx or the stand-in of
tests/standin.
"""
import copy
import pickle
import unittest

import tov_touch
from fuzz_child import targets

FUNCTION_TYPE = type(tov_touch.input_text)
PICKLERS = {"C": (pickle.dumps, pickle.loads), "Python": (pickle._dumps, pickle._loads)}


def plain_function():
    pass


class Plain(object):
    """Python's own functions in the places where the module has its functions."""

    def method(self):
        pass

    def __private(self):
        pass

    @staticmethod
    def __private_static():
        pass

    @property
    def prop(self):
        pass

    @prop.setter
    def prop(self, value):
        pass


def module_functions():
    """(function, the plain Python function in the same kind of place), for every function and
    method object of the module, each once."""
    seen = set()
    for kind, class_name, obj, attr in targets():
        if kind == "function":
            found = [(obj, plain_function)]
        elif kind == "property":
            prop = vars(obj)[attr]
            found = [(prop.fget, Plain.prop.fget), (prop.fset, Plain.prop.fset)]
        elif kind in ("unbound", "static"):
            private = attr.startswith("_%s__" % class_name.lstrip("_"))
            member = vars(obj)[attr]
            if kind == "static":
                found = [(member.__func__, Plain._Plain__private_static)]
            else:
                found = [(member, Plain._Plain__private if private else Plain.method)]
        else:  # classes, and bound methods (Python's own method type)
            continue
        for function, twin in found:
            if isinstance(function, FUNCTION_TYPE) and id(function) not in seen:
                seen.add(id(function))
                yield function, twin


def round_trip(function, protocol, pickler):
    """The loaded object's identity with the original, or the exception type pickle raised."""
    dumps, loads = PICKLERS[pickler]
    try:
        return "same" if loads(dumps(function, protocol)) is function else "another object"
    except Exception as exc:
        return type(exc).__name__


FUNCTIONS = list(module_functions())


class CopyAndPickle(unittest.TestCase):

    def test_the_inventory_has_every_kind_of_function(self):
        names = {f.__qualname__ for f, _ in FUNCTIONS}
        for name in ("input_integer", "DigitKeypad.__init__", "DigitKeypad.get_value",
                     "_CtrlWrapperBase.get_string", "_GridWrapper.row", "AlphaKeypad.__on_caps",
                     "AlphaKeypad.__change_color", "AlphaKeypadProxy.event_handler"):
            self.assertIn(name, names)

    def test_copy_and_deepcopy_give_the_function_itself(self):
        for function, _ in FUNCTIONS:
            with self.subTest(function=function.__qualname__):
                self.assertIs(copy.copy(function), function)
                self.assertIs(copy.deepcopy(function), function)
        config = {"ask": tov_touch.input_integer, "hooks": [f for f, _ in FUNCTIONS]}
        copied = copy.deepcopy(config)
        self.assertIsNot(copied["hooks"], config["hooks"])
        self.assertIs(copied["ask"], tov_touch.input_integer)
        self.assertTrue(all(a is b for a, b in zip(copied["hooks"], config["hooks"])))

    def test_pickle_by_reference_as_python_functions(self):
        for function, twin in FUNCTIONS:
            for protocol in range(pickle.HIGHEST_PROTOCOL + 1):
                for pickler in PICKLERS:
                    with self.subTest(function=function.__qualname__, protocol=protocol,
                                      pickler=pickler):
                        self.assertEqual(round_trip(function, protocol, pickler),
                                         round_trip(twin, protocol, pickler))

    def test_every_public_function_and_method_round_trips(self):
        public = [f for f, twin in FUNCTIONS if twin in (plain_function, Plain.method)]
        for function in public:
            for protocol in range(pickle.HIGHEST_PROTOCOL + 1):
                with self.subTest(function=function.__qualname__, protocol=protocol):
                    self.assertEqual(round_trip(function, protocol, "C"), "same")
        self.assertIs(pickle.loads(pickle.dumps([tov_touch.DigitKeypad.GetValue]))[0],
                      tov_touch.DigitKeypad.get_value)


if __name__ == "__main__":
    unittest.main()
