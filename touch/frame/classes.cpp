#include "classes.hpp"

#include "globals.hpp"
#include "names.hpp"

namespace touch {

namespace {

Ref interned(const char* text) { return Ref::steal(PyUnicode_InternFromString(text)); }

// The most derived metaclass among the bases' types, as a class statement computes it.
Ref metaclass_of(Handle bases) {
    PyTypeObject* winner = &PyType_Type;
    for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(bases.get()); ++i) {
        PyTypeObject* candidate = Py_TYPE(PyTuple_GET_ITEM(bases.get(), i));
        if (PyType_IsSubtype(winner, candidate)) continue;
        if (PyType_IsSubtype(candidate, winner)) {
            winner = candidate;
            continue;
        }
        PyErr_SetString(PyExc_TypeError,
                        "metaclass conflict: the metaclass of a derived class must be a "
                        "(non-strict) subclass of the metaclasses of all its bases");
        throw_pending();
    }
    return Ref::borrow(reinterpret_cast<PyObject*>(winner));
}

Ref prepare_namespace(Handle metaclass, Handle name, Handle bases) {
    Ref prepare = Ref::steal_unless(PyObject_GetAttr(metaclass.get(), N.dunder_prepare),
                                    PyExc_AttributeError);
    return prepare.valid() ? prepare(name, bases) : new_dict();
}

// ns[key], else the module globals, else builtins (a class body's name resolution).
Ref class_body_lookup(Handle ns, PyObject* key) {
    Ref value = Ref::steal_unless(PyObject_GetItem(ns.get(), key), PyExc_KeyError);
    return value.valid() ? value : global(key);
}

Ref member_object(const Member& m, const char* owner, Handle ns) {
    switch (m.kind) {
        case Member::method:
            return make_function(m.function, owner);
        case Member::abstract_method:
            return global(N._abstractmethod)(make_function(m.function, owner));
        case Member::static_method:
            return Handle(B.staticmethod)(make_function(m.function, owner));
        case Member::property: {
            Ref getter = Handle(B.property)(make_function(m.function, owner));
            return getter.method(N.setter, make_function(m.setter, owner));
        }
        case Member::alias:
            return class_body_lookup(ns, interned(m.target).get());
    }
    return Ref();  // unreachable: every kind is handled above
}

}  // namespace

void define_class(const ClassDef& cls) {
    Ref name = interned(cls.name);
    Ref bases = cls.base ? tuple(global(interned(cls.base).get())) : tuple();
    Ref metaclass = metaclass_of(bases);
    Ref ns = prepare_namespace(metaclass, name, bases);
    set_item(ns, N.dunder_module, C.module_name);
    set_item(ns, N.dunder_qualname, name);
    if (cls.doc) set_item(ns, N.dunder_doc, Ref::steal(PyUnicode_FromString(cls.doc)));
    for (const Member& m : cls.members)
        set_item(ns, interned(m.key), member_object(m, cls.name, ns));
    bind_global(name.get(), metaclass(name, bases, ns));
}

}  // namespace touch
