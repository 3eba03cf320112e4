// The one place where a C++ failure becomes a pending Python exception.
//
// Every slot and entry point of the module runs its work through `guarded`, so no C++ exception
// ever crosses into the interpreter, and every slot can be `noexcept`.
#pragma once

#include "ref.hpp"

#include <new>
#include <stdexcept>

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

}  // namespace touch
