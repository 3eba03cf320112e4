// The one place where a C++ failure becomes a pending Python exception.
//
// Every slot and entry point of the module runs its work through `guarded`, so no C++ exception
// ever crosses into the interpreter, and every slot can be `noexcept`.
#pragma once

#include <new>
#include <stdexcept>

#include "ref.hpp"

namespace touch {

// Leaves the Python exception matching the C++ exception in flight pending. Call only inside a
// catch handler.
void translate_exception() noexcept;

// Runs `work`; on any failure the Python exception is pending and `failure` is returned.
template <class Work, class Result>
Result guarded(Work&& work, Result failure) noexcept {
    try {
        return work();
    } catch (...) {
        translate_exception();
        return failure;
    }
}

// Parks the pending exception for the duration of a scope and puts it back, untouched, at its
// end: for clean-up that calls into Python while an exception is on its way out.
class PendingException {
public:
#if PY_VERSION_HEX >= 0x030C0000
    PendingException() : value_(PyErr_GetRaisedException()) {}
    ~PendingException() { PyErr_SetRaisedException(value_); }

private:
    PyObject* value_;
#else
    PendingException() { PyErr_Fetch(&type_, &value_, &traceback_); }
    ~PendingException() { PyErr_Restore(type_, value_, traceback_); }

private:
    PyObject* type_;
    PyObject* value_;
    PyObject* traceback_;
#endif
    PendingException(const PendingException&) = delete;
    PendingException& operator=(const PendingException&) = delete;
};

}  // namespace touch
