// The module's create and exec steps (multi-phase initialisation).
#pragma once

#include "python.hpp"

namespace touch {

PyObject* create_module(PyObject* spec, PyModuleDef* def) noexcept;
int exec_module(PyObject* module) noexcept;

// The module body: binds the whole namespace in order (namespace.cpp).
void run_module_body();

}  // namespace touch
