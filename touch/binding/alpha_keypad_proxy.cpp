// AlphaKeypadProxy: touching a bound control (double-clicking a grid cell) moves the focus to it
// and opens the text keyboard pre-filled with its trimmed text, named after the field and beside
// it; the confirmed text goes back exactly as typed, committed as a person's edit.
#include "binding.hpp"
#include "frame/globals.hpp"
#include "frame/names.hpp"

namespace touch::binding {

namespace {

Ref wx_grid() { return global(N.wx).attr(N.grid); }

Ref init(Handle self, Handle ctrl, Handle password_mode, Handle event) {
    self.set_attr(N._ctrl, wrap_control(ctrl, wx_grid()));
    self.set_attr(N.password_mode, password_mode);
    self.set_attr(N.ctrl_focus, ctrl);
    bind_touch(self, ctrl, event, wx_grid());
    return none();
}

Ref event_handler(Handle self, Handle event) {
    self.attr(N.ctrl_focus).method(N.SetFocus);
    Ref ctrl = self.attr(N._ctrl);
    follow_grid_event(ctrl, event, wx_grid());
    Ref text = ctrl.method(N.get_string).method(N.strip);
    Ref parent = ctrl.method(N.get_parent);
    EditedField field(self, ctrl, C.text);
    Ref keyboard_class = global(N.AlphaKeypad);
    Ref widget = self.attr(N._ctrl);
    Ref password_mode = self.attr(N.password_mode);
    Ref keyboard = keyboard_class(parent, kw(N.widget, widget), kw(N.password_mode, password_mode),
                                  kw(N.message, field.prompt()));
    field.edit_with(keyboard, N.set_value, text, N.get_value);
    return none();
}

Ref get_value(Handle self) { return self.attr(N._ctrl).method(N.get_string); }

Ref no_password_mode_no_binder() { return tuple(Py_None, Py_None); }

}  // namespace

const ClassDef alpha_keypad_proxy_class = {
    "AlphaKeypadProxy",
    nullptr,
    nullptr,
    {
        method(def<init>("__init__", "self ctrl password_mode event", Check::none,
                         no_password_mode_no_binder)),
        method(def<event_handler>("event_handler", "self event")),
        method(def<get_value>("get_value", "self")),
        method(def<set_control_text>("set_value", "self value")),
    },
};

}  // namespace touch::binding
