#include "names.hpp"

#include "globals.hpp"
#include "ref.hpp"

namespace touch {

Names N;
Constants C;
Builtins B;

namespace {

PyObject* keep(PyObject* object) {
    if (!object) throw_pending();
    return object;  // process-wide: never released
}

PyObject* float_from_text(const char* text) {
    Ref source = Ref::steal(PyUnicode_FromString(text));
    return keep(PyFloat_FromString(source.get()));
}

}  // namespace

void make_names_and_constants() {
    static bool made = false;
    if (made) return;
#define TOUCH_MAKE(member, text) N.member = keep(PyUnicode_InternFromString(text));
    TOUCH_NAMES(TOUCH_MAKE)
#undef TOUCH_MAKE
#define TOUCH_MAKE(member, text) C.member = keep(PyUnicode_FromString(text));
    TOUCH_TEXTS(TOUCH_MAKE)
#undef TOUCH_MAKE
#define TOUCH_MAKE(member, value) C.member = keep(PyLong_FromLong(value));
    TOUCH_INTS(TOUCH_MAKE)
#undef TOUCH_MAKE
    C.neg_inf = float_from_text("-inf");
    C.pos_inf = float_from_text("inf");
    C.nan = float_from_text("nan");
    made = true;
}

void fetch_builtins(PyObject* builtins_module) {
    Handle builtins = PyModule_GetDict(builtins_module);
    const auto fetch = [&](PyObject*& slot, const char* name) {
        Ref key = Ref::steal(PyUnicode_InternFromString(name));
        Py_XSETREF(slot, lookup_in(builtins, key.get()).release());
    };
    fetch(B.property, "property");
    fetch(B.staticmethod, "staticmethod");
    fetch(B.TypeError, "TypeError");
    // No body needs range(), but an interpreter without it has always failed this import.
    fetch(B.range, "range");
}

}  // namespace touch
