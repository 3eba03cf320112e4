// input_text, input_password, input_digit_password: one text, exactly as typed, or None.
#include "frame/globals.hpp"
#include "frame/names.hpp"
#include "input.hpp"
#include "keypads/modal_cycle.hpp"

namespace touch::input {

namespace {

// ShowModal(), then the dialog's text on OK or None otherwise; the dialog is destroyed.
Ref confirmed_text(Handle dialog) {
    return keypads::run_then_destroy(dialog, [&] {
        if (!keypads::confirmed(dialog)) return none();
        return dialog.method(N.get_value);
    });
}

Ref text(Handle parent, Handle password_mode, Handle message) {
    Ref keyboard_class = global(N.AlphaKeypad);
    return confirmed_text(
        keyboard_class(parent, kw(N.password_mode, password_mode), kw(N.message, message)));
}

Ref password(Handle parent, Handle message) {
    return global(N.input_text)(parent, Py_True, message);
}

Ref digit_password(Handle parent, Handle message) {
    return confirmed_text(global(N.DigitPasswordKeypad)(parent, message));
}

Ref window_base() { return global(N.wx).attr(N.WindowBase); }

Ref text_defaults() { return tuple(Py_False, C.empty); }
Ref text_annotations() {
    return dict_of({{N.parent, window_base()},
                    {N.password_mode, reinterpret_cast<PyObject*>(&PyBool_Type)},
                    {N.message, C.unicode}});
}
Ref password_defaults() { return tuple(C.empty); }
Ref password_annotations() { return dict_of({{N.parent, window_base()}, {N.message, C.unicode}}); }
Ref digit_password_defaults() { return tuple(Py_None); }
Ref digit_password_annotations() {
    return dict_of({{N.parent, window_base()},
                    {N.message, optional_of(&PyUnicode_Type)},
                    {N.dunder_return, optional_of(&PyUnicode_Type)}});
}

}  // namespace

const FunctionDef input_text =
    def<text>("input_text", "parent password_mode message", Check::message_str_or_none,
              text_defaults, text_annotations);
const FunctionDef input_password =
    def<password>("input_password", "parent message", Check::message_str_or_none, password_defaults,
                  password_annotations);
const FunctionDef input_digit_password =
    def<digit_password>("input_digit_password", "parent message", Check::none,
                        digit_password_defaults, digit_password_annotations);

}  // namespace touch::input
