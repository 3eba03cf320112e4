#include "function.hpp"

#include <structmember.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "error.hpp"
#include "globals.hpp"
#include "names.hpp"
#include "traceback.hpp"

namespace touch {

namespace {

struct Function {
    PyObject_HEAD
#if TOUCH_VECTORCALL
        vectorcallfunc vectorcall;
#endif
    const FunctionDef* def;
    const char* owner;  // class name for methods, null for module functions
    int line;           // line of its __code__ and of its traceback entries
    Py_ssize_t nparams;
    Py_ssize_t message_index;  // the `message` parameter when it is restricted, else -1
    // Immutable after creation; kept by tp_clear so that a call can never see them vanish.
    PyObject* varnames;  // tuple of the parameter names, interned
    PyObject* code;
    PyObject* traceback_code;  // made on the first exception that passes through
    PyObject* name;
    PyObject* qualname;
    // Cleared by tp_clear: what can take part in reference cycles.
    PyObject* module;
    PyObject* doc;
    PyObject* defaults;
    PyObject* kwdefaults;
    PyObject* annotations;
    PyObject* dict;
    PyObject* globals;
    PyObject* weakreflist;
};

PyTypeObject function_type;

Function* as_function(PyObject* self) { return reinterpret_cast<Function*>(self); }

// ---- arguments -------------------------------------------------------------------------------

[[noreturn]] void arity_error(const Function* f, const char* bound, Py_ssize_t expected,
                              Py_ssize_t given) {
    PyErr_Format(PyExc_TypeError, "%.200s() takes %.8s %zd positional argument%.1s (%zd given)",
                 f->def->name, bound, expected, expected == 1 ? "" : "s", given);
    throw_pending();
}

Py_ssize_t parameter_index(const Function* f, PyObject* keyword) {
    for (Py_ssize_t i = 0; i < f->nparams; ++i)
        if (PyTuple_GET_ITEM(f->varnames, i) == keyword) return i;
    for (Py_ssize_t i = 0; i < f->nparams; ++i) {
        int same = PyObject_RichCompareBool(PyTuple_GET_ITEM(f->varnames, i), keyword, Py_EQ);
        if (same < 0) throw_pending();
        if (same) return i;
    }
    return -1;
}

// The two texts of functions that take only `self`.
void bind_self_only(const Function* f, Py_ssize_t nargs, Py_ssize_t nkw) {
    if (nargs > 1 || (nargs == 0 && nkw == 0)) {
        PyErr_Format(PyExc_TypeError, "%.200s() takes exactly one argument (%zd given)",
                     f->def->name, nargs);
        throw_pending();
    }
    if (nkw > 0) {
        PyErr_Format(PyExc_TypeError, "%.200s() takes no keyword arguments", f->def->name);
        throw_pending();
    }
}

// The keyword part of a call: names and values side by side (vectorcall's layout).
struct Keywords {
    PyObject* const* names = nullptr;
    PyObject* const* values = nullptr;
    Py_ssize_t count = 0;
};

// Binds the call's arguments to the parameters, in this order of errors: too many positional
// arguments, keyword errors, missing arguments. Returns the bound arguments as borrowed
// references: the caller's own vector when it already is exactly the parameters, else `slots`,
// with any defaults used kept alive by `defaults_in_use`.
PyObject* const* bind_arguments(const Function* f, PyObject* const* args, Py_ssize_t nargs,
                                const Keywords& keywords, PyObject** slots, Ref& defaults_in_use) {
    const Py_ssize_t n = f->nparams;
    if (n == 1) {
        bind_self_only(f, nargs, keywords.count);
        return args;
    }
    if (nargs == n && keywords.count == 0) return args;

    defaults_in_use = Ref::borrow(f->defaults);  // the body may rebind __defaults__
    const Py_ssize_t ndefaults =
        defaults_in_use.valid() ? std::min(PyTuple_GET_SIZE(defaults_in_use.get()), n) : 0;
    const Py_ssize_t required = n - ndefaults;
    if (nargs > n) arity_error(f, required == n ? "exactly" : "at most", n, nargs);

    for (Py_ssize_t i = 0; i < n; ++i) slots[i] = i < nargs ? args[i] : nullptr;

    for (Py_ssize_t k = 0; k < keywords.count; ++k) {
        PyObject* keyword = keywords.names[k];
        if (!PyUnicode_Check(keyword)) {
            PyErr_Format(PyExc_TypeError, "%.200s() keywords must be strings", f->def->name);
            throw_pending();
        }
        Py_ssize_t i = parameter_index(f, keyword);
        if (i < 0) {
            PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%U'",
                         f->def->name, keyword);
            throw_pending();
        }
        if (slots[i]) {
            PyErr_Format(PyExc_TypeError, "%s() got multiple values for keyword argument '%U'",
                         f->def->name, keyword);
            throw_pending();
        }
        slots[i] = keywords.values[k];
    }

    for (Py_ssize_t i = nargs; i < n; ++i) {
        if (slots[i]) continue;
        if (i < required) arity_error(f, required == n ? "exactly" : "at least", required, i);
        slots[i] = PyTuple_GET_ITEM(defaults_in_use.get(), i - required);
    }
    return slots;
}

void check_arguments(const Function* f, PyObject* const* slots) {
    if (f->message_index < 0) return;
    PyObject* message = slots[f->message_index];
    if (message != Py_None && Py_TYPE(message) != &PyUnicode_Type) {
        PyErr_Format(PyExc_TypeError,
                     "Argument '%.200s' has incorrect type (expected %.200s, got %.200s)",
                     "message", "str", Py_TYPE(message)->tp_name);
        throw_pending();
    }
}

// Keeps the C stack bounded when Python code re-enters the module recursively.
class RecursionGuard {
public:
    RecursionGuard() {
        if (Py_EnterRecursiveCall(" in a tov_touch function")) throw_pending();
    }
    ~RecursionGuard() { Py_LeaveRecursiveCall(); }
};

void add_traceback(Function* f) noexcept {
    std::string qualified = "tov_touch.";
    if (f->owner) qualified.append(f->owner).append(".");
    qualified.append(f->def->name);
    add_traceback_entry(f->traceback_code, qualified.c_str(), f->line, f->globals);
}

PyObject* call(Function* f, PyObject* const* args, Py_ssize_t nargs,
               const Keywords& keywords) noexcept {
    PyObject* result = guarded(
        [&] {
            PyObject* slots[kMaxParams];
            Ref defaults_in_use;
            PyObject* const* bound =
                bind_arguments(f, args, nargs, keywords, slots, defaults_in_use);
            check_arguments(f, bound);
            RecursionGuard guard;
            return f->def->body(bound).release();
        },
        static_cast<PyObject*>(nullptr));
    if (!result) add_traceback(f);
    return result;
}

#if TOUCH_VECTORCALL

PyObject* function_vectorcall(PyObject* self, PyObject* const* args, size_t nargsf,
                              PyObject* kwnames) noexcept {
    const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
    Keywords keywords;
    if (kwnames)
        keywords = {&PyTuple_GET_ITEM(kwnames, 0), args + nargs, PyTuple_GET_SIZE(kwnames)};
    return call(as_function(self), args, nargs, keywords);
}

#else

// Before vectorcall: the argument tuple and the keyword dict, laid out in the same vector form
// on the stack. More keywords than parameters is always an error, which binding them reports.
PyObject* function_call(PyObject* self, PyObject* args, PyObject* kwargs) noexcept {
    constexpr Py_ssize_t kMaxKeywords = kMaxParams + 1;
    PyObject* names[kMaxKeywords];
    PyObject* values[kMaxKeywords];
    Keywords keywords{names, values, 0};
    Py_ssize_t pos = 0;
    PyObject *key, *value;
    while (kwargs && keywords.count < kMaxKeywords && PyDict_Next(kwargs, &pos, &key, &value)) {
        names[keywords.count] = key;
        values[keywords.count++] = value;
    }
    return call(as_function(self), &PyTuple_GET_ITEM(args, 0), PyTuple_GET_SIZE(args), keywords);
}

#endif

// ---- attributes ------------------------------------------------------------------------------

int set_text(PyObject*& slot, PyObject* value, const char* attribute) {
    if (!value || !PyUnicode_Check(value)) {
        PyErr_Format(PyExc_TypeError, "%s must be set to a string object", attribute);
        return -1;
    }
    Py_INCREF(value);
    Py_SETREF(slot, value);
    return 0;
}

// None or an object of `type` (deleting stores NULL); anything else is refused.
int set_optional(PyObject*& slot, PyObject* value, PyTypeObject* type, const char* message) {
    if (value == Py_None) value = nullptr;
    if (value && !PyObject_TypeCheck(value, type)) {
        PyErr_SetString(PyExc_TypeError, message);
        return -1;
    }
    Py_XINCREF(value);
    Py_XSETREF(slot, value);
    return 0;
}

PyObject* or_none(PyObject* value) {
    if (!value) value = Py_None;
    Py_INCREF(value);
    return value;
}

PyObject* get_name(PyObject* self, void*) noexcept { return or_none(as_function(self)->name); }
int set_name(PyObject* self, PyObject* value, void*) noexcept {
    return set_text(as_function(self)->name, value, "__name__");
}
PyObject* get_qualname(PyObject* self, void*) noexcept {
    return or_none(as_function(self)->qualname);
}
int set_qualname(PyObject* self, PyObject* value, void*) noexcept {
    return set_text(as_function(self)->qualname, value, "__qualname__");
}
PyObject* get_doc(PyObject* self, void*) noexcept { return or_none(as_function(self)->doc); }
int set_doc(PyObject* self, PyObject* value, void*) noexcept {
    Py_XINCREF(value);
    Py_XSETREF(as_function(self)->doc, value);
    return 0;
}
PyObject* get_defaults(PyObject* self, void*) noexcept {
    return or_none(as_function(self)->defaults);
}
int set_defaults(PyObject* self, PyObject* value, void*) noexcept {
    return set_optional(as_function(self)->defaults, value, &PyTuple_Type,
                        "__defaults__ must be set to a tuple object");
}
PyObject* get_kwdefaults(PyObject* self, void*) noexcept {
    return or_none(as_function(self)->kwdefaults);
}
int set_kwdefaults(PyObject* self, PyObject* value, void*) noexcept {
    return set_optional(as_function(self)->kwdefaults, value, &PyDict_Type,
                        "__kwdefaults__ must be set to a dict object");
}
// Like a Python function: always a dict (inspect on 3.6 to 3.9 rejects None).
PyObject* get_annotations(PyObject* self, void*) noexcept {
    Function* f = as_function(self);
    if (!f->annotations && !(f->annotations = PyDict_New())) return nullptr;
    return or_none(f->annotations);
}
int set_annotations(PyObject* self, PyObject* value, void*) noexcept {
    return set_optional(as_function(self)->annotations, value, &PyDict_Type,
                        "__annotations__ must be set to a dict object");
}
PyObject* get_code(PyObject* self, void*) noexcept { return or_none(as_function(self)->code); }
PyObject* get_globals(PyObject* self, void*) noexcept {
    return or_none(as_function(self)->globals);
}

PyGetSetDef function_getset[] = {
    {attr_name("__name__"), get_name, set_name, nullptr, nullptr},
    {attr_name("__qualname__"), get_qualname, set_qualname, nullptr, nullptr},
    {attr_name("__doc__"), get_doc, set_doc, nullptr, nullptr},
    {attr_name("__defaults__"), get_defaults, set_defaults, nullptr, nullptr},
    {attr_name("__kwdefaults__"), get_kwdefaults, set_kwdefaults, nullptr, nullptr},
    {attr_name("__annotations__"), get_annotations, set_annotations, nullptr, nullptr},
    {attr_name("__code__"), get_code, nullptr, nullptr, nullptr},
    {attr_name("__globals__"), get_globals, nullptr, nullptr, nullptr},
    {attr_name("__dict__"), PyObject_GenericGetDict, PyObject_GenericSetDict, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMemberDef function_members[] = {
    {attr_name("__module__"), T_OBJECT, offsetof(Function, module), 0, nullptr},
    {nullptr, 0, 0, 0, nullptr},
};

// Pickled by reference, as pickle treats Python's own functions: the qualified name, which pickle
// looks up in the module named by __module__. copy and deepcopy give back the function itself.
PyObject* function_reduce(PyObject* self, PyObject*) noexcept {
    return or_none(as_function(self)->qualname);
}

PyMethodDef function_methods[] = {
    {"__reduce__", function_reduce, METH_NOARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

// ---- slots -----------------------------------------------------------------------------------

PyObject* function_descr_get(PyObject* self, PyObject* instance, PyObject*) noexcept {
    if (!instance || instance == Py_None) return or_none(self);
    return PyMethod_New(self, instance);
}

PyObject* function_repr(PyObject* self) noexcept {
    return PyUnicode_FromFormat("<function %U at %p>", as_function(self)->qualname, self);
}

int function_traverse(PyObject* self, visitproc visit, void* arg) noexcept {
    Function* f = as_function(self);
    Py_VISIT(f->varnames);
    Py_VISIT(f->code);
    Py_VISIT(f->traceback_code);
    Py_VISIT(f->name);
    Py_VISIT(f->qualname);
    Py_VISIT(f->module);
    Py_VISIT(f->doc);
    Py_VISIT(f->defaults);
    Py_VISIT(f->kwdefaults);
    Py_VISIT(f->annotations);
    Py_VISIT(f->dict);
    Py_VISIT(f->globals);
    return 0;
}

int function_clear(PyObject* self) noexcept {
    Function* f = as_function(self);
    Py_CLEAR(f->module);
    Py_CLEAR(f->doc);
    Py_CLEAR(f->defaults);
    Py_CLEAR(f->kwdefaults);
    Py_CLEAR(f->annotations);
    Py_CLEAR(f->dict);
    Py_CLEAR(f->globals);
    return 0;
}

void function_dealloc(PyObject* self) noexcept {
    Function* f = as_function(self);
    PyObject_GC_UnTrack(self);
    if (f->weakreflist) PyObject_ClearWeakRefs(self);
    function_clear(self);
    Py_CLEAR(f->varnames);
    Py_CLEAR(f->code);
    Py_CLEAR(f->traceback_code);
    Py_CLEAR(f->name);
    Py_CLEAR(f->qualname);
    PyObject_GC_Del(self);
}

// ---- creation --------------------------------------------------------------------------------

Ref parameter_names(const char* params) {
    std::vector<Ref> names;
    for (const char* p = params; *p;) {
        const char* end = std::strchr(p, ' ');
        if (!end) end = p + std::strlen(p);
        Ref name = Ref::steal(PyUnicode_FromStringAndSize(p, end - p));
        PyObject* interned = name.release();
        PyUnicode_InternInPlace(&interned);
        names.push_back(Ref::steal(interned));
        p = *end ? end + 1 : end;
    }
    Ref tuple = Ref::steal(PyTuple_New(static_cast<Py_ssize_t>(names.size())));
    for (size_t i = 0; i < names.size(); ++i)
        PyTuple_SET_ITEM(tuple.get(), static_cast<Py_ssize_t>(i), names[i].release());
    return tuple;
}

// A code object with the function's name, file "touch" and its parameters as locals.
Ref make_code(const char* name, Handle varnames, int line) {
    const int nparams = static_cast<int>(PyTuple_GET_SIZE(varnames.get()));
    const int flags = CO_OPTIMIZED | CO_NEWLOCALS;
#if PY_VERSION_HEX >= 0x03080000
    Ref empty = Ref::steal(reinterpret_cast<PyObject*>(PyCode_NewEmpty("touch", name, line)));
    Ref count = Ref::steal(PyLong_FromLong(nparams));
    Ref flag_bits = Ref::steal(PyLong_FromLong(flags));
    return empty.method(N.replace, kw(N.co_argcount, count), kw(N.co_nlocals, count),
                        kw(N.co_varnames, varnames), kw(N.co_flags, flag_bits));
#else
    Ref bytecode = Ref::steal(PyBytes_FromStringAndSize(nullptr, 0));
    Ref empty_tuple = Ref::steal(PyTuple_New(0));
    Ref filename = Ref::steal(PyUnicode_FromString("touch"));
    Ref code_name = Ref::steal(PyUnicode_FromString(name));
    return Ref::steal(reinterpret_cast<PyObject*>(
        PyCode_New(nparams, 0, nparams, 0, flags, bytecode.get(), empty_tuple.get(),
                   empty_tuple.get(), varnames.get(), empty_tuple.get(), empty_tuple.get(),
                   filename.get(), code_name.get(), line, bytecode.get())));
#endif
}

int next_line() {
    static int line = 0;
    return ++line;
}

}  // namespace

void ready_function_type() {
    PyTypeObject& t = function_type;
    if (t.tp_flags & Py_TPFLAGS_READY) return;
    t.tp_name = "tov_touch.function";
    t.tp_basicsize = sizeof(Function);
    t.tp_dealloc = function_dealloc;
    t.tp_repr = function_repr;
    t.tp_getattro = PyObject_GenericGetAttr;
    t.tp_setattro = PyObject_GenericSetAttr;
    t.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_HAVE_GC;
#if TOUCH_VECTORCALL
    t.tp_flags |= Py_TPFLAGS_HAVE_VECTORCALL | Py_TPFLAGS_METHOD_DESCRIPTOR;
    t.tp_vectorcall_offset = offsetof(Function, vectorcall);
    t.tp_call = PyVectorcall_Call;
#else
    t.tp_call = function_call;
#endif
    t.tp_traverse = function_traverse;
    t.tp_clear = function_clear;
    t.tp_weaklistoffset = offsetof(Function, weakreflist);
    t.tp_methods = function_methods;
    t.tp_getset = function_getset;
    t.tp_members = function_members;
    t.tp_descr_get = function_descr_get;
    t.tp_dictoffset = offsetof(Function, dict);
    if (PyType_Ready(&t) < 0) throw_pending();
}

Ref make_function(const FunctionDef& def, const char* owner) {
    Ref varnames = parameter_names(def.params);
    if (PyTuple_GET_SIZE(varnames.get()) != def.arity || def.arity > kMaxParams) {
        PyErr_Format(PyExc_SystemError, "tov_touch: parameter table of %s does not fit its body",
                     def.name);
        throw_pending();
    }
    const int line = next_line();
    Ref code = make_code(def.name, varnames, line);
    Ref name = Ref::steal(PyUnicode_FromString(def.name));
    Ref qualname = owner ? Ref::steal(PyUnicode_FromFormat("%s.%s", owner, def.name)) : name;
    Ref defaults = def.defaults ? def.defaults() : Ref();
    Ref annotations = def.annotations ? def.annotations() : new_dict();

    Function* f = PyObject_GC_New(Function, &function_type);
    if (!f) throw_pending();
#if TOUCH_VECTORCALL
    f->vectorcall = function_vectorcall;
#endif
    f->def = &def;
    f->owner = owner;
    f->line = line;
    f->nparams = PyTuple_GET_SIZE(varnames.get());
    f->message_index = -1;
    f->varnames = varnames.release();
    f->code = code.release();
    f->traceback_code = nullptr;
    f->name = name.release();
    f->qualname = qualname.release();
    f->module = Ref(C.module_name).release();
    f->doc = nullptr;
    f->defaults = defaults.release();
    f->kwdefaults = nullptr;
    f->annotations = annotations.release();
    f->dict = nullptr;
    f->globals = Ref::borrow(module_globals()).release();
    f->weakreflist = nullptr;
    Ref function = Ref::steal(reinterpret_cast<PyObject*>(f));
    if (def.check == Check::message_str_or_none) {
        f->message_index = parameter_index(f, N.message);
        if (f->message_index < 0) {
            PyErr_Format(PyExc_SystemError, "tov_touch: %s has no parameter 'message'", def.name);
            throw_pending();
        }
    }
    PyObject_GC_Track(f);
    return function;
}

}  // namespace touch
