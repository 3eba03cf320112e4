// The module body: binds the module namespace in its documented order.
#include <initializer_list>
#include <utility>

#include "binding/binding.hpp"
#include "classes.hpp"
#include "globals.hpp"
#include "input/input.hpp"
#include "keypads/keypads.hpp"
#include "names.hpp"
#include "startup.hpp"

namespace touch {

namespace {

struct ImportedName {
    PyObject* name;   // in the source module
    PyObject* alias;  // in ours
};

// `from <module> import name as alias, ...`
void import_from(const char* module_name, std::initializer_list<ImportedName> names) {
    Ref name = Ref::steal(PyUnicode_FromString(module_name));
    Ref fromlist = Ref::steal(PyTuple_New(static_cast<Py_ssize_t>(names.size())));
    Py_ssize_t i = 0;
    for (const ImportedName& n : names)
        PyTuple_SET_ITEM(fromlist.get(), i++, Ref(n.name).release());
    Ref module = Ref::steal(
        PyImport_ImportModuleLevelObject(name.get(), module_globals(), nullptr, fromlist.get(), 0));
    for (const ImportedName& n : names) {
        Ref value = Ref::steal_unless(PyObject_GetAttr(module.get(), n.name), PyExc_AttributeError);
        if (!value.valid()) {
            PyErr_Format(PyExc_ImportError, "cannot import name %R", n.name);
            throw_pending();
        }
        bind_global(n.alias, value);
    }
}

}  // namespace

void run_module_body() {
    bind_global(N.wx, import_module("wx"));
    bind_global(N._grid, import_module("wx.grid").attr(N.grid));
    import_from("tov_touchui", {{N.AlphaKeypad, N.AlphaKeypadUI}});
    import_from("tov_touchui", {{N.DigitKeypad, N.DigitKeypadUI},
                                {N.DigitPasswordKeypad, N._DigitPasswordKeypad}});
    import_from("tov_wxtools", {{N.window_fit_layout, N.window_fit_layout}});
    import_from("abc", {{N.abstractmethod, N._abstractmethod}, {N.ABC, N._ABC}});
    import_from("typing", {{N.Optional, N._Optional}});
    bind_global(N.KEYPAD_MODE_INT, C.i0);
    bind_global(N.KEYPAD_MODE_FLOAT, C.i1);
    for (const ClassDef* cls : {&keypads::digit_keypad_class, &keypads::digit_password_keypad_class,
                                &binding::ctrl_wrapper_base_class, &binding::ctrl_wrapper_class,
                                &binding::grid_wrapper_class, &binding::digit_keypad_proxy_class,
                                &keypads::alpha_keypad_class, &binding::alpha_keypad_proxy_class})
        define_class(*cls);
    for (const FunctionDef* function :
         {&input::input_text, &input::input_password, &input::input_digit_password,
          &input::input_integer, &input::input_float})
        bind_global(Ref::steal(PyUnicode_InternFromString(function->name)).get(),
                    make_function(*function, nullptr));
    bind_global(N.dunder_test, new_dict());
}

}  // namespace touch
