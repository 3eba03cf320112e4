// Classes made by the module body: each described by one table listing its namespace entries in
// order, turned into a class the way a class statement would do it.
#pragma once

#include <vector>

#include "function.hpp"

namespace touch {

struct Member {
    enum Kind { method, abstract_method, static_method, property, alias };
    Kind kind;
    const char* key;       // the namespace key; for private members the mangled one
    FunctionDef function;  // the method, or the property's getter
    FunctionDef setter;    // property only
    const char* target;    // alias only: the key whose object is stored again
};

inline Member method(FunctionDef f) { return {Member::method, f.name, f, {}, nullptr}; }
inline Member method(const char* key, FunctionDef f) {
    return {Member::method, key, f, {}, nullptr};
}
inline Member abstract_method(FunctionDef f) {
    return {Member::abstract_method, f.name, f, {}, nullptr};
}
inline Member static_method(const char* key, FunctionDef f) {
    return {Member::static_method, key, f, {}, nullptr};
}
inline Member property(FunctionDef getter, FunctionDef setter) {
    return {Member::property, getter.name, getter, setter, nullptr};
}
// `GetValue = get_value`: the very same object under a second name.
inline Member alias(const char* key, const char* target) {
    return {Member::alias, key, {}, {}, target};
}

struct ClassDef {
    const char* name;
    const char* base;  // the module global holding the base class; null: no bases
    const char* doc;   // null: no docstring
    std::vector<Member> members;
};

// Creates the class and binds it in the module globals under its name.
void define_class(const ClassDef& cls);

}  // namespace touch
