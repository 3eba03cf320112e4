// References to Python objects.
//
// Ownership rules, which every body in the module follows:
//  * `Handle` is borrowed. It never touches the reference count and is valid only while somebody
//    else keeps the object alive: the arguments of the call in progress, a `Ref` in scope, an
//    entry of a live container. Function parameters are Handles.
//  * `Ref` owns exactly one strong reference, or none (null). Destruction releases it; moving
//    transfers it; copying adds one.
//  * A C-API result that is a new reference becomes a Ref with `Ref::steal`, which throws
//    `PythonError` when the result is NULL (the Python exception is then pending). A borrowed
//    result becomes a Ref with `Ref::borrow`.
//  * `Ref::release` hands the reference to a caller that steals it (a slot's return value).
//  * Every operation that can fail throws `PythonError`; `translate_exception` (error.hpp) is the
//    only place that turns it back into a pending Python exception and a NULL/-1 result.
#pragma once

#include <initializer_list>
#include <utility>

#include "python.hpp"

namespace touch {

// A Python exception is pending; unwinding carries it to the slot that called us.
struct PythonError {};

[[noreturn]] inline void throw_pending() { throw PythonError{}; }

class Handle;
// `raise exception_class(argument)`.
[[noreturn]] void raise(Handle exception_class, Handle argument);

class Ref;

// One keyword argument of a call: `f(x, kw(N.style, flags))`.
struct Keyword {
    PyObject* name;
    PyObject* value;
};

class Handle {
public:
    Handle() = default;
    Handle(PyObject* object) : p_(object) {}

    PyObject* get() const { return p_; }
    bool valid() const { return p_ != nullptr; }

    bool is(Handle other) const { return p_ == other.p_; }
    bool is_none() const { return p_ == Py_None; }
    bool truthy() const {  // Python's bool(x); raises through PythonError
        if (p_ == Py_True || p_ == Py_False) return p_ == Py_True;
        return truthy_slow();
    }
    bool isinstance(Handle cls) const;
    // hasattr() that counts any exception raised by the look-up as absence.
    bool has_attr(PyObject* name) const;

    Ref attr(PyObject* name) const;
    void set_attr(PyObject* name, Handle value) const;

    // self(args...) and self.name(args...); keyword arguments (kw(...)) come last.
    template <class... Args>
    Ref operator()(const Args&... args) const;
    template <class... Args>
    Ref method(PyObject* name, const Args&... args) const;

    Ref compare(Handle other, int op) const;  // the result object of `self <op> other`

protected:
    PyObject* p_ = nullptr;

private:
    bool truthy_slow() const;
};

class Ref : public Handle {
public:
    Ref() = default;
    Ref(const Ref& other) : Handle(other.p_) { Py_XINCREF(p_); }
    Ref(Ref&& other) noexcept : Handle(other.p_) { other.p_ = nullptr; }
    // A Handle converts to a Ref by taking a new reference.
    Ref(Handle borrowed) : Handle(borrowed.get()) { Py_XINCREF(p_); }
    ~Ref() { Py_XDECREF(p_); }

    Ref& operator=(Ref other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }

    // A new reference from the C API; NULL means a pending exception.
    static Ref steal(PyObject* new_reference) {
        if (!new_reference) throw_pending();
        return adopt(new_reference);
    }
    // As steal, but NULL with a pending `exception_type` (then cleared) gives a null Ref.
    static Ref steal_unless(PyObject* new_reference, PyObject* exception_type);
    static Ref borrow(PyObject* borrowed) { return Ref(Handle(borrowed)); }

    PyObject* release() { return std::exchange(p_, nullptr); }

private:
    static Ref adopt(PyObject* p) {
        Ref r;
        r.p_ = p;
        return r;
    }
};

inline Keyword kw(PyObject* name, Handle value) { return {name, value.get()}; }

inline Ref none() { return Ref::borrow(Py_None); }
inline Ref boolean(bool value) { return Ref::borrow(value ? Py_True : Py_False); }

// Python's `str(x)`, `a == b` (then its truth value), `a + b`, `a | b`.
Ref str(Handle object);
bool equal(Handle a, Handle b);
Ref operator+(Handle a, Handle b);
Ref operator|(Handle a, Handle b);

Ref new_dict();
// {key: value, ...} in the order given.
Ref dict_of(std::initializer_list<std::pair<Handle, Handle>> items);
void set_item(Handle mapping, Handle key, Handle value);  // mapping[key] = value, any mapping

template <class... Items>
Ref tuple(const Items&... items) {
    return Ref::steal(PyTuple_Pack(sizeof...(Items), Handle(items).get()...));
}

// ---- calls -----------------------------------------------------------------------------------

namespace detail {

// The argument vector of one call: slot 0 is scratch room for the callee (vectorcall's
// PY_VECTORCALL_ARGUMENTS_OFFSET), then positionals, then keyword values.
template <size_t N>
struct CallArgs {
    PyObject* stack[N + 1];
    PyObject* names[N + 1];
    size_t positional = 0;
    size_t keywords = 0;

    void add(Handle positional_arg) { stack[1 + positional++] = positional_arg.get(); }
    void add(const Ref& positional_arg) { add(Handle(positional_arg)); }
    void add(PyObject* positional_arg) { add(Handle(positional_arg)); }
    void add(const Keyword& k) {
        stack[1 + positional + keywords] = k.value;
        names[keywords++] = k.name;
    }
};

Ref vectorcall(PyObject* callable, PyObject** stack, size_t positional, PyObject** names,
               size_t keywords);
Ref vectorcall_method(PyObject* name, PyObject** stack, size_t positional, PyObject** names,
                      size_t keywords);

}  // namespace detail

template <class... Args>
Ref Handle::operator()(const Args&... args) const {
    detail::CallArgs<sizeof...(Args)> call;
    (call.add(args), ...);
    return detail::vectorcall(p_, call.stack, call.positional, call.names, call.keywords);
}

template <class... Args>
Ref Handle::method(PyObject* name, const Args&... args) const {
    detail::CallArgs<sizeof...(Args) + 1> call;
    call.add(*this);
    (call.add(args), ...);
    return detail::vectorcall_method(name, call.stack, call.positional, call.names, call.keywords);
}

}  // namespace touch
