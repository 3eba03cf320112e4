// AlphaKeypad: the text keyboard. Password mode and the prompt are fixed at construction; the
// shift key swaps two key panels and colours the shift keys; the caps keys swap three pairs of
// letter groups. All editing goes through the one field chosen for the mode, so a password is
// only ever held by the masked field.
#include "frame/globals.hpp"
#include "frame/names.hpp"
#include "keypads.hpp"
#include "modal_cycle.hpp"

namespace touch::keypads {

namespace {

Ref text_field(Handle self) { return self.attr(N.mangled_text_field); }

// Password mode asked for (None) and a widget to ask: a grid never is one; anything else is
// when its window style carries wx.TE_PASSWORD.
Ref derived_password_mode(Handle self, Handle widget, Handle password_mode) {
    if (!password_mode.is_none() || widget.is_none()) return password_mode;
    Ref wx = global(N.wx);
    if (widget.isinstance(wx.attr(N.grid).attr(N.Grid))) return boolean(false);
    Ref style = self.attr(N.mangled_widget).attr(N.window_style);
    Ref password_bits = Ref::steal(PyNumber_And(style.get(), wx.attr(N.TE_PASSWORD).get()));
    return boolean(!equal(password_bits, C.i0));
}

// Everything the constructor does once the form exists.
Ref dress(Handle self, Handle widget, Handle password_mode, Handle message) {
    if (derived_password_mode(self, widget, password_mode).truthy()) {
        self.attr(N.ui_value_normal).method(N.Hide);
        self.attr(N.ui_value_password).method(N.Show);
        self.set_attr(N.mangled_text_field, self.attr(N.ui_value_password));
    } else {
        self.attr(N.ui_value_password).method(N.Hide);
        self.attr(N.ui_value_normal).method(N.Show);
        self.set_attr(N.mangled_text_field, self.attr(N.ui_value_normal));
    }
    if (message.is_none() || !message.truthy())
        self.attr(N.ui_message).method(N.Hide);
    else
        self.attr(N.ui_message).method(N.SetLabel, message);

    self.attr(N.Shift).method(N.Hide);
    for (PyObject* group : {N.ui_caps_on_0, N.ui_caps_on_1, N.ui_caps_on_2})
        self.attr(group).method(N.Hide);
    global(N.window_fit_layout)(self);
    return none();
}

Ref init(Handle self, Handle parent, Handle widget, Handle password_mode, Handle message) {
    self.set_attr(N.shift, Py_False);
    self.set_attr(N.caps, Py_False);
    self.set_attr(N.mangled_widget, widget);
    global(N.AlphaKeypadUI).attr(N.dunder_init)(self, parent);
    return destroy_on_exception(self, [&] { return dress(self, widget, password_mode, message); });
}

Ref change_color(Handle button, Handle value) {
    Ref colour = value.truthy() ? global(N.wx).attr(N.Colour)(C.i255, C.i128, C.i0)
                                : global(N.wx).attr(N.Colour)(C.i225, C.i225, C.i255);
    button.method(N.SetBackgroundColour, colour);
    return none();
}

Ref on_clear(Handle self, Handle) {
    text_field(self).method(N.SetValue, C.empty);
    return none();
}

Ref out_(Handle self, Handle put) {
    Ref old = text_field(self).method(N.GetValue);
    text_field(self).method(N.SetValue, old + put);
    return none();
}

Ref on_shift_display(Handle self, Handle on) {
    const Ref buttons[] = {self.attr(N.ui_shift_0), self.attr(N.ui_shift_1),
                           self.attr(N.ui_shift_2), self.attr(N.ui_shift_3)};
    for (const Ref& button : buttons)
        global(N.AlphaKeypad).attr(N.mangled_change_color)(button, on);
    self.attr(N.Shift).method(N.Show, on);
    self.attr(N.no_Shift).method(N.Show, boolean(!on.truthy()));
    global(N.window_fit_layout)(self);
    return none();
}

Ref on_shift(Handle self, Handle) {
    self.set_attr(N.shift, boolean(!self.attr(N.shift).truthy()));
    self.method(N.mangled_on_shift, self.attr(N.shift));
    return none();
}

// The group names are built as the keys are shown, so a form lacking one fails as Python would.
Ref on_caps_display(Handle self, Handle on) {
    Ref off = boolean(!on.truthy());
    for (int i = 0; i < 3; ++i) {
        self.attr(Ref::steal(PyUnicode_FromFormat("ui_caps_on_%d", i)).get()).method(N.Show, on);
        self.attr(Ref::steal(PyUnicode_FromFormat("ui_caps_off_%d", i)).get()).method(N.Show, off);
    }
    global(N.window_fit_layout)(self);
    return none();
}

// The caps keys are not toggles: each sets its state, and `caps` follows it.
Ref set_caps(Handle self, bool on) {
    self.method(N.mangled_on_caps, boolean(on));
    self.set_attr(N.caps, boolean(on));
    return none();
}

Ref on_caps_on(Handle self, Handle) { return set_caps(self, true); }
Ref on_caps_off(Handle self, Handle) { return set_caps(self, false); }

// The key's caption is what it types, but for the two keys named Tab and Space.
Ref on_character(Handle self, Handle event) {
    Ref label = event.method(N.GetEventObject).method(N.GetLabel);
    if (equal(label, C.tab_label))
        self.method(N.out_, C.tab);
    else if (equal(label, C.space_label))
        self.method(N.out_, C.space);
    else
        self.method(N.out_, label);
    return none();
}

// Always the last character, wherever the caret stands: the whole of what the operator sees as
// one (an emoji with its skin tone, a flag, a letter with its accents), as the forms count them.
Ref on_backspace(Handle self, Handle) {
    Ref value = text_field(self).method(N.GetValue);
    Py_ssize_t length = PyObject_Length(value.get());
    if (length < 0) throw_pending();
    if (length > 0)
        text_field(self).method(N.SetValue,
                                import_module("tov_touchui").attr(N.without_last_character)(value));
    return none();
}

Ref set_value(Handle self, Handle value) {
    text_field(self).method(N.SetValue, value);
    return none();
}

Ref get_value(Handle self) { return text_field(self).method(N.GetValue); }

Ref init_defaults() { return tuple(Py_None, Py_None, C.empty); }
Ref button_is_wx_button() { return dict_of({{N.button, global(N.wx).attr(N.Button)}}); }
Ref on_is_bool() { return dict_of({{N.on, reinterpret_cast<PyObject*>(&PyBool_Type)}}); }

}  // namespace

const ClassDef alpha_keypad_class = {
    "AlphaKeypad",
    "AlphaKeypadUI",
    nullptr,
    {
        method(def<init>("__init__", "self parent widget password_mode message",
                         Check::message_str_or_none, init_defaults, message_is_unicode)),
        static_method("_AlphaKeypad__change_color",
                      def<change_color>("__change_color", "button value", Check::none, nullptr,
                                        button_is_wx_button)),
        method(def<on_clear>("on_clear", "self event")),
        method(def<out_>("out_", "self put")),
        method("_AlphaKeypad__on_shift",
               def<on_shift_display>("__on_shift", "self on", Check::none, nullptr, on_is_bool)),
        method(def<on_shift>("on_shift", "self event")),
        method("_AlphaKeypad__on_caps",
               def<on_caps_display>("__on_caps", "self on", Check::none, nullptr, on_is_bool)),
        method(def<on_caps_on>("on_caps_on", "self event")),
        method(def<on_caps_off>("on_caps_off", "self event")),
        method(def<on_character>("on_character", "self event")),
        method(def<on_backspace>("on_backspace", "self event")),
        method(def<set_value>("set_value", "self value")),
        method(def<get_value>("get_value", "self")),
    },
};

}  // namespace touch::keypads
