#include "traceback.hpp"

#include "error.hpp"

namespace touch {

namespace {

Ref make_frame(PyObject*& code_cache, const char* qualified_name, int line, PyObject* globals) {
    if (!code_cache) {
        code_cache = reinterpret_cast<PyObject*>(PyCode_NewEmpty("touch", qualified_name, line));
        if (!code_cache) throw_pending();
    }
    Ref frame_globals = globals ? Ref::borrow(globals) : Ref::steal(PyDict_New());
    return Ref::steal(reinterpret_cast<PyObject*>(
        PyFrame_New(PyThreadState_Get(), reinterpret_cast<PyCodeObject*>(code_cache),
                    frame_globals.get(), nullptr)));
}

}  // namespace

void add_traceback_entry(PyObject*& code_cache, const char* qualified_name, int line,
                         PyObject* globals) noexcept {
    Ref frame;
    {
        PendingException pending;
        try {
            frame = make_frame(code_cache, qualified_name, line, globals);
        } catch (const PythonError&) {
            PyErr_Clear();  // must not replace the exception being reported
            return;
        }
    }
    PyTraceBack_Here(reinterpret_cast<PyFrameObject*>(frame.get()));
}

}  // namespace touch
