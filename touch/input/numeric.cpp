// input_integer, input_float: one number from the numeric keypad, or None on cancel.
#include "frame/globals.hpp"
#include "frame/names.hpp"
#include "input.hpp"
#include "keypads/modal_cycle.hpp"

namespace touch::input {

namespace {

using Conversion = PyObject* (*)(PyObject*);

Ref ask_number(PyObject* mode_name, Conversion convert, Handle parent, Handle minimum,
               Handle maximum, Handle message) {
    Ref keypad_class = global(N.DigitKeypad);
    Ref mode = global(mode_name);
    Ref keypad = keypad_class(parent, kw(N.mode, mode), kw(N.minimum, minimum),
                              kw(N.maximum, maximum), kw(N.message, message));
    return keypads::run_then_destroy(keypad, [&] {
        if (!keypads::confirmed(keypad)) return none();
        return Ref::steal(convert(keypad.method(N.get_value).get()));
    });
}

Ref integer(Handle parent, Handle minimum, Handle maximum, Handle message) {
    return ask_number(N.KEYPAD_MODE_INT, PyNumber_Long, parent, minimum, maximum, message);
}

Ref floating(Handle parent, Handle minimum, Handle maximum, Handle message) {
    return ask_number(N.KEYPAD_MODE_FLOAT, PyNumber_Float, parent, minimum, maximum, message);
}

Ref unbounded() { return tuple(C.neg_inf, C.pos_inf, Py_None); }

Ref annotations_returning(PyTypeObject* type) {
    return dict_of({{N.parent, global(N.wx).attr(N.WindowBase)},
                    {N.message, C.unicode},
                    {N.dunder_return, optional_of(type)}});
}

Ref integer_annotations() { return annotations_returning(&PyLong_Type); }
Ref float_annotations() { return annotations_returning(&PyFloat_Type); }

}  // namespace

const FunctionDef input_integer =
    def<integer>("input_integer", "parent minimum maximum message", Check::message_str_or_none,
                 unbounded, integer_annotations);
const FunctionDef input_float =
    def<floating>("input_float", "parent minimum maximum message", Check::message_str_or_none,
                  unbounded, float_annotations);

}  // namespace touch::input
