#include "ref.hpp"

#include <algorithm>

namespace touch {

namespace {

// `a <op> b` for exact ints, floats and strs, straight through the type's own comparison: the
// answer PyObject_RichCompare would reach for them, without its dispatch. False when the pair is
// of other types; else `result` is what the comparison returned (null: its exception is pending).
bool builtin_compare(PyObject* a, PyObject* b, int op, PyObject*& result) {
    static const int swapped[] = {Py_GT, Py_GE, Py_EQ, Py_NE, Py_LT, Py_LE};
    PyTypeObject* ta = Py_TYPE(a);
    PyTypeObject* tb = Py_TYPE(b);
    if (ta == tb && (ta == &PyLong_Type || ta == &PyFloat_Type || ta == &PyUnicode_Type))
        result = ta->tp_richcompare(a, b, op);
    // Mixed int and float: float's comparison is the exact one, whichever side the float is on.
    else if (ta == &PyFloat_Type && tb == &PyLong_Type)
        result = PyFloat_Type.tp_richcompare(a, b, op);
    else if (ta == &PyLong_Type && tb == &PyFloat_Type)
        result = PyFloat_Type.tp_richcompare(b, a, swapped[op]);
    else
        return false;
    return true;
}

// True for names of the `__x__` kind, the only kind the module type itself defines.
bool is_dunder(PyObject* name) {
    return PyUnicode_GET_LENGTH(name) > 1 && PyUnicode_READ_CHAR(name, 0) == '_' &&
           PyUnicode_READ_CHAR(name, 1) == '_';
}

}  // namespace

bool Handle::truthy_slow() const {
    int result = PyObject_IsTrue(p_);
    if (result < 0) throw_pending();
    return result != 0;
}

bool Handle::isinstance(Handle cls) const {
    int result = PyObject_IsInstance(p_, cls.get());
    if (result < 0) throw_pending();
    return result != 0;
}

bool Handle::has_attr(PyObject* name) const {
    PyObject* value = PyObject_GetAttr(p_, name);
    if (!value) {
        PyErr_Clear();
        return false;
    }
    Ref::steal(value);
    return true;
}

void raise(Handle exception_class, Handle argument) {
    Ref exception = exception_class(argument);
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(exception.get())), exception.get());
    throw_pending();
}

// A module's own global (`wx.OK`) comes straight from its dict, which is where getattr would find
// it; a miss takes the full path (module __getattr__, the AttributeError text).
Ref Handle::attr(PyObject* name) const {
    if (PyModule_CheckExact(p_) && !is_dunder(name)) {
        PyObject* value = PyDict_GetItemWithError(PyModule_GetDict(p_), name);
        if (value) return Ref::borrow(value);
        if (PyErr_Occurred()) throw_pending();
    }
    return Ref::steal(PyObject_GetAttr(p_, name));
}

void Handle::set_attr(PyObject* name, Handle value) const {
    if (PyObject_SetAttr(p_, name, value.get()) < 0) throw_pending();
}

Ref Handle::compare(Handle other, int op) const {
    PyObject* result;
    if (!builtin_compare(p_, other.get(), op, result))
        result = PyObject_RichCompare(p_, other.get(), op);
    return Ref::steal(result);
}

Ref Ref::steal_unless(PyObject* new_reference, PyObject* exception_type) {
    if (!new_reference && PyErr_ExceptionMatches(exception_type)) {
        PyErr_Clear();
        return Ref();
    }
    return steal(new_reference);
}

Ref str(Handle object) { return Ref::steal(PyObject_Str(object.get())); }

bool equal(Handle a, Handle b) { return a.compare(b, Py_EQ).truthy(); }

Ref operator+(Handle a, Handle b) { return Ref::steal(PyNumber_Add(a.get(), b.get())); }

Ref operator|(Handle a, Handle b) { return Ref::steal(PyNumber_Or(a.get(), b.get())); }

Ref new_dict() { return Ref::steal(PyDict_New()); }

Ref dict_of(std::initializer_list<std::pair<Handle, Handle>> items) {
    Ref dict = new_dict();
    for (const auto& item : items) set_item(dict, item.first, item.second);
    return dict;
}

void set_item(Handle mapping, Handle key, Handle value) {
    if (PyObject_SetItem(mapping.get(), key.get(), value.get()) < 0) throw_pending();
}

namespace detail {

#if TOUCH_VECTORCALL

// The keyword names of the module's calls are interned constants (`N.style`), so each sequence
// of them gets one tuple, made on first use and kept, as a code object keeps its own.
static Ref keyword_names(PyObject** names, size_t keywords) {
    static PyObject* kept[16];
    static size_t nkept = 0;
    for (size_t i = 0; i < nkept; ++i) {
        PyObject* tuple = kept[i];
        if (static_cast<size_t>(PyTuple_GET_SIZE(tuple)) == keywords &&
            std::equal(names, names + keywords, &PyTuple_GET_ITEM(tuple, 0)))
            return Ref::borrow(tuple);
    }
    Ref tuple = Ref::steal(PyTuple_New(static_cast<Py_ssize_t>(keywords)));
    for (size_t i = 0; i < keywords; ++i) {
        Py_INCREF(names[i]);
        PyTuple_SET_ITEM(tuple.get(), static_cast<Py_ssize_t>(i), names[i]);
    }
    if (nkept < sizeof kept / sizeof kept[0]) kept[nkept++] = Ref(tuple).release();
    return tuple;
}

Ref vectorcall(PyObject* callable, PyObject** stack, size_t positional, PyObject** names,
               size_t keywords) {
    Ref kwnames = keywords ? keyword_names(names, keywords) : Ref();
    return Ref::steal(PyObject_Vectorcall(
        callable, stack + 1, positional | PY_VECTORCALL_ARGUMENTS_OFFSET, kwnames.get()));
}

#else

// Before vectorcall: an argument tuple and a keyword dict.
Ref vectorcall(PyObject* callable, PyObject** stack, size_t positional, PyObject** names,
               size_t keywords) {
    Ref args = Ref::steal(PyTuple_New(static_cast<Py_ssize_t>(positional)));
    for (size_t i = 0; i < positional; ++i) {
        Py_INCREF(stack[1 + i]);
        PyTuple_SET_ITEM(args.get(), static_cast<Py_ssize_t>(i), stack[1 + i]);
    }
    Ref kwargs;
    if (keywords) {
        kwargs = new_dict();
        for (size_t i = 0; i < keywords; ++i) set_item(kwargs, names[i], stack[1 + positional + i]);
    }
    return Ref::steal(PyObject_Call(callable, args.get(), kwargs.get()));
}

#endif

Ref vectorcall_method(PyObject* name, PyObject** stack, size_t positional, PyObject** names,
                      size_t keywords) {
#if TOUCH_VECTORCALL_METHOD
    Ref kwnames = keywords ? keyword_names(names, keywords) : Ref();
    return Ref::steal(PyObject_VectorcallMethod(
        name, stack + 1, positional | PY_VECTORCALL_ARGUMENTS_OFFSET, kwnames.get()));
#else
    Ref bound = Handle(stack[1]).attr(name);
    return vectorcall(bound.get(), stack + 1, positional - 1, names, keywords);
#endif
}

}  // namespace detail
}  // namespace touch
