// DigitKeypad: the numeric keypad. The number under edit lives only as the text of the form's
// value field; the keys rewrite that text, Enter screens it and ends the dialog when it is a
// number within the range.
#include "frame/globals.hpp"
#include "frame/names.hpp"
#include "keypads.hpp"
#include "modal_cycle.hpp"

namespace touch::keypads {

namespace {

bool is_integer_mode(Handle mode) { return equal(mode, global(N.KEYPAD_MODE_INT)); }

void show_error(Handle message) {
    Ref wx = global(N.wx);
    wx.attr(N.MessageBox)(message, kw(N.style, wx.attr(N.OK) | wx.attr(N.ICON_ERROR)));
}

Ref field_text(Handle self) { return self.attr(N.mValueField).method(N.GetValue); }
void set_field_text(Handle self, Handle text) { self.attr(N.mValueField).method(N.SetValue, text); }

// int(text) or float(text) by mode; null when the interpreter refuses the text as a number.
Ref parse_number(Handle mode, Handle text) {
    PyObject* number =
        is_integer_mode(mode) ? PyNumber_Long(text.get()) : PyNumber_Float(text.get());
    return Ref::steal_unless(number, PyExc_ValueError);
}

// Everything the constructor does once the form exists.
Ref dress(Handle self, Handle mode, Handle minimum, Handle maximum, Handle message,
          Handle font_size, Handle show_size) {
    Ref field_size = field_font_size(font_size, show_size);
    Ref prompt = message;
    if (prompt.is_none())
        prompt = Ref::borrow(is_integer_mode(mode) ? C.prompt_int : C.prompt_float);
    self.attr(N.ui_message).method(N.SetLabel, prompt);

    Ref small_font = keypad_font(font_size);
    set_key_fonts(self, small_font);
    self.attr(N.mValueField).method(N.SetFont, keypad_font(field_size));
    for (PyObject* label : {N.m_staticText3, N.ui_minimum, N.ui_maxmum, N.m_staticText5})
        self.attr(label).method(N.SetFont, small_font);

    self.set_attr(N._mode, mode);
    self.set_attr(N._minimum, minimum);
    self.set_attr(N._maximum, maximum);
    global(N.window_fit_layout)(self);

    // The range labels come after the layout pass: the form's own texts size the dialog.
    if (minimum.compare(C.neg_inf, Py_NE).truthy())
        self.attr(N.ui_minimum).method(N.SetLabel, str(minimum));
    if (maximum.compare(C.pos_inf, Py_NE).truthy())
        self.attr(N.ui_maxmum).method(N.SetLabel, str(maximum));
    if (is_integer_mode(mode)) self.attr(N.DotPoint).method(N.Disable);
    return none();
}

Ref init(Handle self, Handle parent, Handle mode, Handle minimum, Handle maximum, Handle message,
         Handle font_size, Handle show_size) {
    global(N.DigitKeypadUI).attr(N.dunder_init)(self, parent);
    return destroy_on_exception(
        self, [&] { return dress(self, mode, minimum, maximum, message, font_size, show_size); });
}

Ref out_of_range(Handle self, Handle value) {
    Ref below = value.compare(self.attr(N._minimum), Py_LT);
    if (below.truthy()) return below;
    return value.compare(self.attr(N._maximum), Py_GT);
}

// A lone leading zero gives way to the next digit: '0' -> '5', '-0' -> '-5'.
Ref OnDigit(Handle self, Handle event) {
    Ref label = event.method(N.GetEventObject).method(N.GetLabel);
    Ref old = field_text(self);
    if (equal(old, C.zero_text))
        old = Ref::borrow(C.empty);
    else if (equal(old, C.minus_zero))
        old = Ref::borrow(C.minus);
    set_field_text(self, old + label);
    return none();
}

Ref OnClearAll(Handle self, Handle) {
    set_field_text(self, C.empty);
    return none();
}

Ref OnDot(Handle self, Handle) {
    Ref old = field_text(self);
    if (equal(old.method(N.find, C.dot), C.minus_one)) set_field_text(self, old + C.dot);
    return none();
}

Ref OnNegative(Handle self, Handle) {
    set_field_text(self, Handle(C.minus) + field_text(self).method(N.strip, C.minus));
    return none();
}

Ref OnPositive(Handle self, Handle) {
    set_field_text(self, field_text(self).method(N.strip, C.minus));
    return none();
}

Ref get_value(Handle self) { return field_text(self); }

Ref set_value(Handle self, Handle value) {
    set_field_text(self, value);
    return none();
}

// Format first, then range; either failure answers with a box and keeps the dialog open.
Ref on_enter(Handle self, Handle) {
    Ref text = field_text(self);
    if (equal(text, C.empty) || equal(text, C.minus) || equal(text, C.minus_dot)) {
        show_error(C.invalid_format);
        return none();
    }
    // A text int()/float() refuses ('.' in float mode, or '1.5' placed in integer mode) gets the
    // same answer rather than a traceback the user never sees.
    Ref value = parse_number(self.attr(N._mode), text);
    if (!value.valid()) {
        show_error(C.invalid_format);
        return none();
    }
    if (self.method(N.out_of_range, value).truthy()) {
        show_error(C.out_of_range_text);
        return none();
    }
    self.method(N.EndModal, global(N.wx).attr(N.ID_OK));
    return none();
}

Ref init_defaults() { return tuple(C.neg_inf, C.pos_inf, Py_None, C.i20, Py_None); }

Ref returns_bool() {
    return dict_of({{N.dunder_return, reinterpret_cast<PyObject*>(&PyBool_Type)}});
}

}  // namespace

const ClassDef digit_keypad_class = {
    "DigitKeypad",
    "DigitKeypadUI",
    nullptr,
    {
        method(def<init>("__init__", "self parent mode minimum maximum message font_size show_size",
                         Check::message_str_or_none, init_defaults, message_is_unicode)),
        method(def<out_of_range>("out_of_range", "self value", Check::none, nullptr, returns_bool)),
        method(def<OnDigit>("OnDigit", "self event")),
        method(def<OnClearAll>("OnClearAll", "self event")),
        method(def<OnDot>("OnDot", "self event")),
        method(def<OnNegative>("OnNegative", "self event")),
        method(def<OnPositive>("OnPositive", "self event")),
        method(def<get_value>("get_value", "self")),
        method(def<set_value>("set_value", "self value")),
        method(def<on_enter>("on_enter", "self event")),
        alias("GetValue", "get_value"),
        alias("SetValue", "set_value"),
    },
};

}  // namespace touch::keypads
