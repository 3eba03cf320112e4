// Module-level names, looked up each time a statement uses them (module dict, then builtins), so
// that rebinding a global of the module changes every later call.
#pragma once

#include "ref.hpp"

namespace touch {

// The dict of the recorded module, or null while no module is recorded.
void set_module_globals(PyObject* module_dict, PyObject* builtins_dict);
PyObject* module_globals();

// globals()[name], else builtins[name], else NameError "name '...' is not defined".
Ref global(PyObject* name);
// `dict[name]` with the same NameError when it is missing.
Ref lookup_in(Handle dict, PyObject* name);
// The annotation `_Optional[type]`, evaluated now.
Ref optional_of(PyTypeObject* type);
// `import <dotted_name>` as the module's own code would run it.
Ref import_module(const char* dotted_name);
// Binds a module global.
void bind_global(PyObject* name, Handle value);

}  // namespace touch
