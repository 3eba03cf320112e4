#include "startup.hpp"

#include <cstdint>
#include <string>

#include "error.hpp"
#include "function.hpp"
#include "globals.hpp"
#include "names.hpp"
#include "traceback.hpp"
#include "version.hpp"

namespace touch {

namespace {

// Process-wide: the module once executed, and the interpreter allowed to load it.
PyObject* g_module = nullptr;
bool g_have_interpreter = false;
std::int64_t g_interpreter = 0;

std::int64_t current_interpreter() {
#if PY_VERSION_HEX >= 0x03090000
    return PyInterpreterState_GetID(PyInterpreterState_Get());
#elif PY_VERSION_HEX >= 0x03070000
    return PyInterpreterState_GetID(PyThreadState_Get()->interp);
#else
    return reinterpret_cast<std::intptr_t>(PyThreadState_Get()->interp);
#endif
}

void check_interpreter() {
    std::int64_t current = current_interpreter();
    if (!g_have_interpreter) {
        g_have_interpreter = true;
        g_interpreter = current;
    } else if (current != g_interpreter) {
        PyErr_SetString(PyExc_ImportError,
                        "Interpreter change detected - this module can only be loaded into one "
                        "interpreter per process.");
        throw_pending();
    }
}

// module.__dict__[target] = spec.<attribute>; a missing attribute is skipped.
void copy_spec_attribute(Handle spec, const char* attribute, Handle module_dict, const char* target,
                         bool skip_none) {
    Ref value =
        Ref::steal_unless(PyObject_GetAttrString(spec.get(), attribute), PyExc_AttributeError);
    if (!value.valid() || (skip_none && value.is_none())) return;
    if (PyDict_SetItemString(module_dict.get(), target, value.get()) < 0) throw_pending();
}

Ref new_module_from_spec(Handle spec) {
    Ref name = Ref::steal(PyObject_GetAttrString(spec.get(), "name"));
    Ref module = Ref::steal(PyModule_NewObject(name.get()));
    Handle dict = PyModule_GetDict(module.get());
    copy_spec_attribute(spec, "loader", dict, "__loader__", false);
    copy_spec_attribute(spec, "origin", dict, "__file__", false);
    copy_spec_attribute(spec, "parent", dict, "__package__", false);
    copy_spec_attribute(spec, "submodule_search_locations", dict, "__path__", true);
    return module;
}

// Warns (RuntimeWarning) when the running Python is not the "major.minor" we were built for.
bool check_version() {
    const std::string built =
        std::to_string(PY_MAJOR_VERSION) + "." + std::to_string(PY_MINOR_VERSION);
    const char* running = Py_GetVersion();
    if (same_major_minor(built.c_str(), running)) return true;
    const std::string running_mm = major_minor(running);
    return PyErr_WarnFormat(PyExc_RuntimeWarning, 1,
                            "compiletime version %s of module '%.100s' does not match runtime "
                            "version %s",
                            built.c_str(), "tov_touch", running_mm.c_str()) == 0;
}

void record(PyObject* module, Handle builtins) {
    g_module = Ref::borrow(module).release();
    set_module_globals(PyModule_GetDict(module), PyModule_GetDict(builtins.get()));
    if (PyObject_SetAttrString(module, "__builtins__", builtins.get()) < 0) throw_pending();
}

void forget_module() {
    set_module_globals(nullptr, nullptr);
    Py_CLEAR(g_module);
}

void register_in_sys_modules(PyObject* module) {
    PyObject* modules = PyImport_GetModuleDict();
    PyObject* present = PyDict_GetItemWithError(modules, C.module_name);
    if (present) return;
    if (PyErr_Occurred() || PyDict_SetItem(modules, C.module_name, module) < 0) throw_pending();
}

void execute(PyObject* module) {
    Ref builtins = Ref::steal(PyImport_ImportModule("builtins"));
    record(module, builtins);
    make_names_and_constants();
    register_in_sys_modules(module);
    fetch_builtins(builtins.get());
    ready_function_type();
    run_module_body();
}

}  // namespace

PyObject* create_module(PyObject* spec, PyModuleDef*) noexcept {
    return guarded(
        [&] {
            check_interpreter();
            if (g_module) return Ref::borrow(g_module).release();
            return new_module_from_spec(spec).release();
        },
        static_cast<PyObject*>(nullptr));
}

int exec_module(PyObject* module) noexcept {
    if (g_module) {
        if (g_module == module) return 0;
        PyErr_SetString(PyExc_RuntimeError,
                        "Module 'tov_touch' has already been imported. Re-initialisation is "
                        "not supported.");
        return -1;
    }
    if (!check_version()) {
        if (!PyErr_Occurred()) PyErr_SetString(PyExc_ImportError, "init tov_touch");
        return -1;
    }
    int result = guarded(
        [&] {
            execute(module);
            return 0;
        },
        -1);
    if (result < 0) {
        static PyObject* init_code = nullptr;
        add_traceback_entry(init_code, "init tov_touch", 1, PyModule_GetDict(module));
        forget_module();
    }
    return result;
}

}  // namespace touch
