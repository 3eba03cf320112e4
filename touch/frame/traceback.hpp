// Traceback entries for exceptions that pass through the module.
#pragma once

#include "python.hpp"

namespace touch {

// Adds an entry `File "touch", line <line>, in <qualified_name>` to the pending exception's
// traceback, leaving the exception itself intact. `code_cache` keeps the entry's code object
// between calls (owned by the caller; created on first use). Never fails: if the entry cannot be
// made, the exception simply goes on without it.
void add_traceback_entry(PyObject*& code_cache, const char* qualified_name, int line,
                         PyObject* globals) noexcept;

}  // namespace touch
