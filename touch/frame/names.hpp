// Interned names and constant objects, made once per process by the exec step and kept for the
// life of the process. Bodies use them as `N.mValueField`, `C.prompt_int`.
#pragma once

#include "python.hpp"

namespace touch {

// clang-format off
// Attribute, global and parameter names: interned, so look-ups hit the dict's identity fast path.
#define TOUCH_NAMES(X)                                                                             \
    /* module and class machinery */                                                               \
    X(dunder_test, "__test__") X(dunder_module, "__module__") X(dunder_qualname, "__qualname__")   \
    X(dunder_doc, "__doc__") X(dunder_prepare, "__prepare__") X(dunder_return, "return")           \
    X(dunder_init, "__init__") X(parent, "parent") X(setter, "setter") X(replace, "replace")       \
    X(co_argcount, "co_argcount") X(co_nlocals, "co_nlocals") X(co_varnames, "co_varnames")        \
    X(co_flags, "co_flags")                                                                        \
    /* module namespace */                                                                         \
    X(wx, "wx") X(grid, "grid") X(_grid, "_grid") X(AlphaKeypad, "AlphaKeypad")                    \
    X(AlphaKeypadUI, "AlphaKeypadUI") X(DigitKeypad, "DigitKeypad")                                \
    X(DigitKeypadUI, "DigitKeypadUI") X(DigitPasswordKeypad, "DigitPasswordKeypad")                \
    X(_DigitPasswordKeypad, "_DigitPasswordKeypad") X(window_fit_layout, "window_fit_layout")      \
    X(abstractmethod, "abstractmethod") X(_abstractmethod, "_abstractmethod") X(ABC, "ABC")        \
    X(_ABC, "_ABC") X(Optional, "Optional") X(_Optional, "_Optional")                              \
    X(KEYPAD_MODE_INT, "KEYPAD_MODE_INT") X(KEYPAD_MODE_FLOAT, "KEYPAD_MODE_FLOAT")                \
    /* wx */                                                                                       \
    X(Font, "Font") X(FONTFAMILY_DEFAULT, "FONTFAMILY_DEFAULT")                                    \
    X(FONTSTYLE_NORMAL, "FONTSTYLE_NORMAL") X(FONTWEIGHT_NORMAL, "FONTWEIGHT_NORMAL")              \
    X(EmptyString, "EmptyString") X(MessageBox, "MessageBox") X(style, "style") X(OK, "OK")        \
    X(ICON_ERROR, "ICON_ERROR") X(ID_OK, "ID_OK") X(EndModal, "EndModal")                          \
    X(GetEventObject, "GetEventObject") X(GetLabel, "GetLabel") X(SetLabel, "SetLabel")            \
    X(GetValue, "GetValue") X(SetValue, "SetValue") X(SetFont, "SetFont") X(Disable, "Disable")    \
    /* str methods */                                                                              \
    X(find, "find") X(strip, "strip")                                                              \
    /* form widgets */                                                                             \
    X(ui_message, "ui_message") X(mValueField, "mValueField") X(DotPoint, "DotPoint")              \
    X(m_button2, "m_button2") X(m_button3, "m_button3") X(m_button4, "m_button4")                  \
    X(m_button5, "m_button5") X(m_button6, "m_button6") X(m_button7, "m_button7")                  \
    X(m_button8, "m_button8") X(m_button9, "m_button9") X(m_button10, "m_button10")                \
    X(m_button11, "m_button11") X(m_button12, "m_button12") X(m_button13, "m_button13")            \
    X(m_button15, "m_button15") X(m_button16, "m_button16") X(m_button17, "m_button17")            \
    X(m_staticText3, "m_staticText3") X(m_staticText5, "m_staticText5")                            \
    X(ui_minimum, "ui_minimum") X(ui_maxmum, "ui_maxmum")                                          \
    /* attributes and methods of our classes */                                                    \
    X(_mode, "_mode") X(_minimum, "_minimum") X(_maximum, "_maximum")                              \
    X(out_of_range, "out_of_range") X(get_value, "get_value") X(set_value, "set_value")            \
    X(message, "message") X(value, "value") X(mode, "mode") X(minimum, "minimum")                  \
    X(maximum, "maximum") X(font_size, "font_size") X(event, "event")                              \
    X(event_handler, "event_handler")                                                              \
    /* control binding */                                                                          \
    X(_CtrlWrapperBase, "_CtrlWrapperBase") X(_CtrlWrapper, "_CtrlWrapper")                        \
    X(_GridWrapper, "_GridWrapper") X(_ctrl, "_ctrl") X(window_style, "window_style")              \
    X(get_string, "get_string") X(set_string, "set_string") X(get_parent, "get_parent")            \
    X(row, "row") X(col, "col") X(column, "column") X(mangled_row, "_GridWrapper__row")            \
    X(mangled_column, "_GridWrapper__column") X(GetWindowStyle, "GetWindowStyle")                  \
    X(GetParent, "GetParent") X(GetCellValue, "GetCellValue") X(SetCellValue, "SetCellValue")      \
    X(Grid, "Grid") X(GridEvent, "GridEvent") X(GetRow, "GetRow") X(GetCol, "GetCol")              \
    X(EVT_GRID_CMD_CELL_LEFT_DCLICK, "EVT_GRID_CMD_CELL_LEFT_DCLICK")                              \
    X(EVT_LEFT_DOWN, "EVT_LEFT_DOWN") X(Bind, "Bind") X(ShowModal, "ShowModal")                    \
    X(Destroy, "Destroy") X(WindowBase, "WindowBase") X(optimize, "optimize")                      \
    X(ctrl_focus, "ctrl_focus") X(password_mode, "password_mode") X(SetFocus, "SetFocus")          \
    /* a bound control while its keypad is open, and its commit */                                 \
    X(EditedField, "EditedField") X(prompt, "prompt") X(unmark, "unmark") X(finish, "finish")      \
    X(SetEventObject, "SetEventObject") X(GetEventHandler, "GetEventHandler")                      \
    X(ProcessEvent, "ProcessEvent") X(IsAllowed, "IsAllowed") X(GetId, "GetId")                    \
    X(SetString, "SetString") X(SetPosition, "SetPosition") X(Window, "Window")                    \
    X(wxEVT_GRID_CELL_CHANGING, "wxEVT_GRID_CELL_CHANGING")                                        \
    X(wxEVT_GRID_CELL_CHANGED, "wxEVT_GRID_CELL_CHANGED") X(SpinCtrl, "SpinCtrl")                  \
    X(SpinCtrlDouble, "SpinCtrlDouble") X(SpinEvent, "SpinEvent")                                  \
    X(SpinDoubleEvent, "SpinDoubleEvent") X(wxEVT_SPINCTRL, "wxEVT_SPINCTRL")                      \
    X(wxEVT_SPINCTRLDOUBLE, "wxEVT_SPINCTRLDOUBLE") X(TextEntry, "TextEntry")                      \
    X(TE_PROCESS_ENTER, "TE_PROCESS_ENTER") X(CommandEvent, "CommandEvent")                        \
    X(wxEVT_TEXT_ENTER, "wxEVT_TEXT_ENTER")                                                        \
    /* the text keyboard */                                                                        \
    X(shift, "shift") X(caps, "caps") X(mangled_widget, "_AlphaKeypad__widget")                    \
    X(mangled_text_field, "_AlphaKeypad__text_field")                                              \
    X(mangled_change_color, "_AlphaKeypad__change_color")                                          \
    X(mangled_on_shift, "_AlphaKeypad__on_shift") X(mangled_on_caps, "_AlphaKeypad__on_caps")      \
    X(ui_value_normal, "ui_value_normal") X(ui_value_password, "ui_value_password")                \
    X(Shift, "Shift") X(no_Shift, "no_Shift") X(ui_shift_0, "ui_shift_0")                          \
    X(ui_shift_1, "ui_shift_1") X(ui_shift_2, "ui_shift_2") X(ui_shift_3, "ui_shift_3")            \
    X(ui_caps_on_0, "ui_caps_on_0") X(ui_caps_on_1, "ui_caps_on_1")                                \
    X(ui_caps_on_2, "ui_caps_on_2") X(Hide, "Hide") X(Show, "Show")                                \
    X(SetBackgroundColour, "SetBackgroundColour") X(Colour, "Colour")                              \
    X(TE_PASSWORD, "TE_PASSWORD") X(Button, "Button") X(Event, "Event") X(out_, "out_")            \
    X(on, "on") X(button, "button") X(widget, "widget")                                            \
    X(without_last_character, "without_last_character")                                            \
    /* the digit password keypad */                                                                \
    X(ui_text, "ui_text") X(show_size, "show_size")                                                \
    /* input functions */                                                                          \
    X(input_text, "input_text")

// Texts and numbers.
#define TOUCH_TEXTS(X)                                                                             \
    X(module_name, "tov_touch") X(empty, "") X(minus, "-") X(minus_dot, "-.") X(dot, ".")          \
    X(zero_text, "0") X(minus_zero, "-0") X(unicode, "unicode") X(prompt_int, "请输入一个整数：")          \
    X(prompt_float, "请输入一个浮点数：") X(invalid_format, "Invalid number format. Please input again.")   \
    X(out_of_range_text, "Number value is out of range. Please input again.")                      \
    X(widget_not_supported, "Widget type not supported.") X(float_text, "float")                   \
    X(int_text, "int") X(number, "number") X(text, "text") X(tab_label, "Tab")                    \
    X(space_label, "Space") X(tab, "\t") X(space, " ")

#define TOUCH_INTS(X)                                                                              \
    X(i0, 0) X(i1, 1) X(i12, 12) X(i20, 20) X(i128, 128) X(i225, 225) X(i255, 255)                 \
    X(minus_one, -1)

// clang-format on

struct Names {
#define TOUCH_DECLARE(member, text) PyObject* member;
    TOUCH_NAMES(TOUCH_DECLARE)
#undef TOUCH_DECLARE
};

struct Constants {
#define TOUCH_DECLARE(member, value) PyObject* member;
    TOUCH_TEXTS(TOUCH_DECLARE)
    TOUCH_INTS(TOUCH_DECLARE)
#undef TOUCH_DECLARE
    PyObject* neg_inf;  // float("-inf"): the unbounded lower end of every range
    PyObject* pos_inf;  // float("inf")
    PyObject* nan;      // float("nan"): what an empty control reads as
};

// The builtins the module body needs, fetched once by the exec step.
struct Builtins {
    PyObject* property;
    PyObject* staticmethod;
    PyObject* TypeError;
    PyObject* range;
};

extern Names N;
extern Constants C;
extern Builtins B;

// Makes N and C on the first call; later calls do nothing. Throws PythonError.
void make_names_and_constants();
// Fills B from the builtins module; a missing one raises NameError. Throws PythonError.
void fetch_builtins(PyObject* builtins_module);

}  // namespace touch
