// DigitKeypadProxy: touching a bound control (double-clicking a grid cell) opens the numeric
// keypad pre-filled with the control's trimmed text, named after the field and beside it, and
// commits the confirmed text back as a person's edit.
#include "binding.hpp"
#include "frame/globals.hpp"
#include "frame/names.hpp"

namespace touch::binding {

namespace {

Ref init(Handle self, Handle ctrl, Handle mode, Handle minimum, Handle maximum, Handle event,
         Handle font_size) {
    self.set_attr(N._ctrl, wrap_control(ctrl, global(N._grid)));
    self.set_attr(N._mode, mode);
    self.set_attr(N._maximum, maximum);
    self.set_attr(N._minimum, minimum);
    self.set_attr(N.font_size, font_size);
    bind_touch(self, ctrl, event, global(N._grid));
    return none();
}

Ref get_minimum(Handle self) { return self.attr(N._minimum); }
Ref get_maximum(Handle self) { return self.attr(N._maximum); }

// The bounds are stored as floats: float(value), which refuses strings.
Ref as_float(Handle value) {
    double number = PyFloat_AsDouble(value.get());
    if (number == -1.0 && PyErr_Occurred()) throw_pending();
    return Ref::steal(PyFloat_FromDouble(number));
}

Ref set_minimum(Handle self, Handle value) {
    self.set_attr(N._minimum, as_float(value));
    return none();
}

Ref set_maximum(Handle self, Handle value) {
    self.set_attr(N._maximum, as_float(value));
    return none();
}

Ref event_handler(Handle self, Handle event) {
    Ref ctrl = self.attr(N._ctrl);
    follow_grid_event(ctrl, event, global(N._grid));
    Ref text = ctrl.method(N.get_string).method(N.strip);
    Ref parent = ctrl.method(N.get_parent);
    EditedField field(self, ctrl, C.number);
    Ref keypad_class = global(N.DigitKeypad);
    Ref mode = self.attr(N._mode);
    Ref minimum = self.attr(N._minimum);
    Ref maximum = self.attr(N._maximum);
    Ref pad = keypad_class(parent, mode, minimum, maximum, kw(N.message, field.prompt()),
                           kw(N.font_size, self.attr(N.font_size)));
    field.edit_with(pad, N.SetValue, text, N.GetValue);
    return none();
}

// The control's text as a number; an empty control reads as NaN.
Ref get_value(Handle self) {
    Ref content = self.attr(N._ctrl).method(N.get_string);
    if (equal(content, C.empty)) return Ref::borrow(C.nan);
    if (equal(self.attr(N._mode), global(N.KEYPAD_MODE_INT)))
        return Ref::steal(PyNumber_Long(content.get()));
    return Ref::steal(PyNumber_Float(content.get()));
}

Ref init_defaults() {
    return tuple(global(N.KEYPAD_MODE_INT), C.neg_inf, C.pos_inf, Py_None, C.i20);
}
Ref returns_float() { return dict_of({{N.dunder_return, C.float_text}}); }
Ref value_is_float() { return dict_of({{N.value, C.float_text}}); }

}  // namespace

const ClassDef digit_keypad_proxy_class = {
    "DigitKeypadProxy",
    nullptr,
    nullptr,
    {
        method(def<init>("__init__", "self ctrl mode minimum maximum event font_size", Check::none,
                         init_defaults)),
        property(def<get_minimum>("minimum", "self", Check::none, nullptr, returns_float),
                 def<set_minimum>("minimum", "self value", Check::none, nullptr, value_is_float)),
        property(def<get_maximum>("maximum", "self", Check::none, nullptr, returns_float),
                 def<set_maximum>("maximum", "self value", Check::none, nullptr, value_is_float)),
        method(def<event_handler>("event_handler", "self event")),
        method(def<get_value>("get_value", "self")),
        method(def<set_control_text>("set_value", "self value")),
    },
};

}  // namespace touch::binding
