// tov_touch: on-screen keypads for wxPython applications on touch panels.
//
// The module is created in two steps (PEP 489): the create step makes (or hands back) the one
// module object of the process, the exec step runs the module body that binds the namespace.
// See frame/startup.cpp.
#include "frame/startup.hpp"

namespace {

PyMethodDef no_methods[] = {{nullptr, nullptr, 0, nullptr}};

PyModuleDef_Slot slots[] = {
    {Py_mod_create, reinterpret_cast<void*>(touch::create_module)},
    {Py_mod_exec, reinterpret_cast<void*>(touch::exec_module)},
    {0, nullptr},
};

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "tov_touch",
    nullptr,  // no docstring
    0,        // no per-module state
    no_methods,
    slots,
    nullptr,
    nullptr,
    nullptr,
};

}  // namespace

// Before 3.9, PyMODINIT_FUNC does not export the symbol from a hidden-visibility build.
#if defined(__GNUC__)
#pragma GCC visibility push(default)
#endif
PyMODINIT_FUNC PyInit_tov_touch(void) { return PyModuleDef_Init(&module_def); }
#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
