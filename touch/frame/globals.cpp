#include "globals.hpp"

#include "names.hpp"

namespace touch {

namespace {

PyObject* g_module_dict = nullptr;    // borrowed from the recorded module
PyObject* g_builtins_dict = nullptr;  // borrowed from the builtins module, which never dies

[[noreturn]] void name_error(PyObject* name) {
    PyErr_Format(PyExc_NameError, "name '%U' is not defined", name);
    throw_pending();
}

PyObject* find(PyObject* dict, PyObject* name) {
    if (!dict) return nullptr;
    PyObject* value = PyDict_GetItemWithError(dict, name);
    if (!value && PyErr_Occurred()) throw_pending();
    return value;
}

}  // namespace

void set_module_globals(PyObject* module_dict, PyObject* builtins_dict) {
    g_module_dict = module_dict;
    g_builtins_dict = builtins_dict;
}

PyObject* module_globals() { return g_module_dict; }

Ref global(PyObject* name) {
    PyObject* value = find(g_module_dict, name);
    if (!value) value = find(g_builtins_dict, name);
    if (!value) name_error(name);
    return Ref::borrow(value);
}

Ref lookup_in(Handle dict, PyObject* name) {
    PyObject* value = find(dict.get(), name);
    if (!value) name_error(name);
    return Ref::borrow(value);
}

Ref optional_of(PyTypeObject* type) {
    return Ref::steal(
        PyObject_GetItem(global(N._Optional).get(), reinterpret_cast<PyObject*>(type)));
}

Ref import_module(const char* dotted_name) {
    Ref name = Ref::steal(PyUnicode_FromString(dotted_name));
    return Ref::steal(
        PyImport_ImportModuleLevelObject(name.get(), module_globals(), nullptr, nullptr, 0));
}

void bind_global(PyObject* name, Handle value) {
    if (!g_module_dict || PyDict_SetItem(g_module_dict, name, value.get()) < 0) throw_pending();
}

}  // namespace touch
