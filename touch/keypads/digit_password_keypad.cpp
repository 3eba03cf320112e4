// DigitPasswordKeypad: a PIN pad. Every key appends its caption to the masked field; confirm
// hands out whatever stands there, the empty text included.
#include "frame/globals.hpp"
#include "frame/names.hpp"
#include "keypads.hpp"
#include "modal_cycle.hpp"

namespace touch::keypads {

namespace {

// Everything the constructor does once the form exists.
Ref dress(Handle self, Handle message, Handle font_size, Handle show_size) {
    Ref field_size = field_font_size(font_size, show_size);
    if (message.truthy()) self.attr(N.ui_message).method(N.SetLabel, message);
    set_key_fonts(self, keypad_font(font_size));
    self.attr(N.ui_text).method(N.SetFont, keypad_font(field_size));
    global(N.window_fit_layout)(self);
    return none();
}

Ref init(Handle self, Handle parent, Handle message, Handle font_size, Handle show_size) {
    global(N._DigitPasswordKeypad).attr(N.dunder_init)(self, parent);
    return destroy_on_exception(self, [&] { return dress(self, message, font_size, show_size); });
}

Ref on_digit(Handle self, Handle event) {
    Ref label = event.method(N.GetEventObject).method(N.GetLabel);
    Ref old = self.attr(N.ui_text).method(N.GetValue);
    self.attr(N.ui_text).method(N.SetValue, old + label);
    return none();
}

Ref on_clear(Handle self, Handle) {
    self.attr(N.ui_text).method(N.SetValue, C.empty);
    return none();
}

Ref on_confirm(Handle self, Handle) {
    self.method(N.EndModal, global(N.wx).attr(N.ID_OK));
    return none();
}

// Declared to give text: anything else the field hands out is refused.
Ref get_value(Handle self) {
    Ref text = self.attr(N.ui_text).method(N.GetValue);
    if (!text.is_none() && Py_TYPE(text.get()) != &PyUnicode_Type) {
        PyErr_Format(PyExc_TypeError, "Expected %.16s, got %.200s", "unicode",
                     Py_TYPE(text.get())->tp_name);
        throw_pending();
    }
    return text;
}

Ref init_defaults() { return tuple(Py_None, C.i20, Py_None); }

Ref init_annotations() {
    return dict_of({{N.message, optional_of(&PyUnicode_Type)},
                    {N.font_size, C.int_text},
                    {N.show_size, C.int_text}});
}

Ref event_is_wx_event() { return dict_of({{N.event, global(N.wx).attr(N.Event)}}); }
Ref returns_unicode() { return dict_of({{N.dunder_return, C.unicode}}); }

}  // namespace

const ClassDef digit_password_keypad_class = {
    "DigitPasswordKeypad",
    "_DigitPasswordKeypad",
    nullptr,
    {
        method(def<init>("__init__", "self parent message font_size show_size", Check::none,
                         init_defaults, init_annotations)),
        method(def<on_digit>("on_digit", "self event", Check::none, nullptr, event_is_wx_event)),
        method(def<on_clear>("on_clear", "self event")),
        method(def<on_confirm>("on_confirm", "self event")),
        method(def<get_value>("get_value", "self", Check::none, nullptr, returns_unicode)),
    },
};

}  // namespace touch::keypads
