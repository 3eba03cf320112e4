// The module's function objects: one C++ body each, presented to Python as a plain function.
//
// A `FunctionDef` is the static description of one function or method (name, parameters, body,
// argument checks, how to evaluate its defaults and annotations). `make_function` turns it into
// a live function object when the module body runs. The object binds as a method, carries
// __name__, __qualname__, __module__, __doc__, __defaults__, __kwdefaults__, __annotations__,
// __dict__ and a real __code__, so inspect, help(), abc, property, staticmethod and
// functools.wraps treat it as a Python function.
#pragma once

#include <cstddef>
#include <utility>

#include "ref.hpp"

namespace touch {

constexpr int kMaxParams = 8;

// A body receives exactly its parameters, already bound, as borrowed references.
using Body = Ref (*)(PyObject* const* args);

// What a function checks of its arguments before the body runs.
enum class Check {
    none,
    message_str_or_none,  // `message` must be None or exactly a str
};

struct FunctionDef {
    const char* name;    // plain name (`__on_caps`); the name in argument errors
    const char* params;  // the parameter names, separated by blanks
    Body body;
    int arity;  // parameters the body takes
    Check check;
    Ref (*defaults)();     // evaluated when the function is created; null: no defaults
    Ref (*annotations)();  // evaluated when the function is created; null: {}
};

namespace detail {

template <class... P>
constexpr int arity_of(Ref (*)(P...)) {
    return static_cast<int>(sizeof...(P));
}

template <auto F, size_t... I>
Ref apply(PyObject* const* args, std::index_sequence<I...>) {
    return F(Handle(args[I])...);
}

template <auto F>
Ref invoke(PyObject* const* args) {
    return apply<F>(args, std::make_index_sequence<arity_of(F)>());
}

}  // namespace detail

// The description of a function whose body is the C++ function `F(Handle...)`.
template <auto F>
FunctionDef def(const char* name, const char* params, Check check = Check::none,
                Ref (*defaults)() = nullptr, Ref (*annotations)() = nullptr) {
    return {name, params, &detail::invoke<F>, detail::arity_of(F), check, defaults, annotations};
}

// Creates the function object; `owner` is the class name for methods, null for module functions.
Ref make_function(const FunctionDef& def, const char* owner);

// Readies the function type; called by the exec step before anything is created.
void ready_function_type();

}  // namespace touch
