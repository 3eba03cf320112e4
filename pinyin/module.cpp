// tov_pinyin: Chinese (pinyin) input for the text keyboard, through the pinyin engine of
// libgooglepinyin (see decoder.hpp for what the engine does and where it fails).
//
// The engine's state is process-wide and not thread-safe: one Engine may be open at a time, and
// no call releases the interpreter's lock. The module does not declare itself free of that lock,
// so a free-threaded interpreter turns the lock back on when it imports the module.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "decoder.hpp"
#include "frame/error.hpp"

namespace {

using pinyin::Decoder;
using touch::Handle;
using touch::Ref;
using touch::throw_pending;

struct Engine {
    PyObject ob_base;
    std::unique_ptr<Decoder> decoder;  // null once closed
};

Engine& engine(PyObject* self) { return *reinterpret_cast<Engine*>(self); }

[[noreturn]] void fail(PyObject* exception_type, const char* message) {
    PyErr_SetString(exception_type, message);
    throw_pending();
}

Decoder& decoder(PyObject* self) {
    if (!engine(self).decoder) fail(PyExc_ValueError, "the pinyin engine is closed");
    return *engine(self).decoder;
}

Ref text(const std::u16string& s) {
    return Ref::steal(PyUnicode_FromKindAndData(PyUnicode_2BYTE_KIND, s.data(),
                                                static_cast<Py_ssize_t>(s.size())));
}

Ref text(const std::string& ascii) {
    return Ref::steal(
        PyUnicode_FromStringAndSize(ascii.data(), static_cast<Py_ssize_t>(ascii.size())));
}

Ref integer(std::size_t n) { return Ref::steal(PyLong_FromSize_t(n)); }

// The letters of a composition from a str, refused with the first character that is not one.
std::string letters_of(Handle letters) {
    if (!PyUnicode_Check(letters.get())) {
        PyErr_Format(PyExc_TypeError, "letters must be str, not %.100s",
                     Py_TYPE(letters.get())->tp_name);
        throw_pending();
    }
    const Py_ssize_t length = PyUnicode_GetLength(letters.get());
    std::string result;
    for (Py_ssize_t i = 0; i < length; ++i) {
        const Py_UCS4 c = PyUnicode_ReadChar(letters.get(), i);
        if (c >= 0x80 || !Decoder::is_letter(static_cast<char>(c))) {
            Ref character = Ref::steal(PyUnicode_FromOrdinal(static_cast<int>(c)));
            PyErr_Format(PyExc_ValueError, "pinyin letters are a-z, A-Z and ', not %R",
                         character.get());
            throw_pending();
        }
        result.push_back(static_cast<char>(c));
    }
    return result;
}

// ---- the user dictionary file --------------------------------------------------------------

// What userdict.cpp writes first in every user dictionary.
const std::uint32_t user_dictionary_version = 0x0ABCDEF0;

// A file the application named: created when missing. The engine rewrites a file that is not a
// user dictionary into an empty one, so any other non-empty file is refused.
void check_user_dictionary(const std::string& path, Handle name) {
    std::FILE* file = std::fopen(path.c_str(), "a+b");
    if (!file) {
        PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, name.get());
        throw_pending();
    }
    unsigned char head[sizeof user_dictionary_version];
    std::fseek(file, 0, SEEK_SET);
    const std::size_t read = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    std::uint32_t version = 0;
    std::memcpy(&version, head, read);
    if (read > 0 && (read < sizeof head || version != user_dictionary_version)) {
        PyErr_Format(PyExc_ValueError, "%R is not a pinyin user dictionary", name.get());
        throw_pending();
    }
}

std::string file_system_path(Handle name) {
    PyObject* bytes = nullptr;
    if (!PyUnicode_FSConverter(name.get(), &bytes)) throw_pending();
    Ref owned = Ref::steal(bytes);
    return std::string(PyBytes_AS_STRING(bytes), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes)));
}

// A new empty file from tempfile.mkstemp, for a user dictionary that lives as long as the engine.
std::string temporary_file() {
    Ref tempfile = Ref::steal(PyImport_ImportModule("tempfile"));
    Ref made =
        Ref::steal(PyObject_CallMethod(tempfile.get(), "mkstemp", "ss", ".dict", "tov_pinyin-"));
    Ref os = Ref::steal(PyImport_ImportModule("os"));
    Ref::steal(PyObject_CallMethod(os.get(), "close", "O", PyTuple_GET_ITEM(made.get(), 0)));
    return file_system_path(PyTuple_GET_ITEM(made.get(), 1));
}

// ---- Engine --------------------------------------------------------------------------------

Ref new_engine(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
    static const char* keywords[] = {"user_dictionary", nullptr};
    PyObject* user_dictionary = Py_None;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|O:Engine", const_cast<char**>(keywords),
                                     &user_dictionary))
        throw_pending();
    if (Decoder::in_use())
        fail(PyExc_RuntimeError,
             "a tov_pinyin.Engine is already open in this process (the pinyin engine is one per "
             "process): close it first");
    const bool temporary = user_dictionary == Py_None;
    const std::string path = temporary ? temporary_file() : file_system_path(user_dictionary);
    if (!temporary) check_user_dictionary(path, user_dictionary);
    std::unique_ptr<Decoder> opened = Decoder::open(PINYIN_SYSTEM_DICTIONARY, path, temporary);
    if (!opened) {
        if (temporary) std::remove(path.c_str());
        PyErr_Format(PyExc_OSError,
                     "cannot load the pinyin system dictionary %s: install libgooglepinyin0",
                     PINYIN_SYSTEM_DICTIONARY);
        throw_pending();
    }
    Ref self = Ref::steal(type->tp_alloc(type, 0));
    new (&engine(self.get()).decoder) std::unique_ptr<Decoder>(std::move(opened));
    return self;
}

void engine_dealloc(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    engine(self).decoder.~unique_ptr();
    type->tp_free(self);
    Py_DECREF(type);  // instances of a heap type hold a reference to it
}

Ref search(PyObject* self, PyObject* letters) {
    Decoder& d = decoder(self);
    d.search(letters_of(letters));
    return integer(d.count());
}

Ref candidates(PyObject* self, PyObject* args, PyObject* kwargs) {
    static const char* keywords[] = {"start", "count", nullptr};
    Py_ssize_t start = 0;
    PyObject* count = Py_None;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|nO:candidates", const_cast<char**>(keywords),
                                     &start, &count))
        throw_pending();
    const Decoder& d = decoder(self);
    Py_ssize_t wanted = PY_SSIZE_T_MAX;
    if (count != Py_None) {
        wanted = PyNumber_AsSsize_t(count, PyExc_OverflowError);
        if (wanted == -1 && PyErr_Occurred()) throw_pending();
    }
    if (start < 0 || wanted < 0) fail(PyExc_ValueError, "start and count must not be negative");
    const std::size_t first = std::min(static_cast<std::size_t>(start), d.count());
    const std::size_t end = first + std::min(static_cast<std::size_t>(wanted), d.count() - first);
    Ref list = Ref::steal(PyList_New(static_cast<Py_ssize_t>(end - first)));
    for (std::size_t i = first; i < end; ++i)
        PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(i - first),
                        text(d.candidate(i)).release());
    return list;
}

Ref choose(PyObject* self, PyObject* index) {
    Decoder& d = decoder(self);
    if (!PyIndex_Check(index)) {
        PyErr_Format(PyExc_TypeError, "index must be int, not %.100s", Py_TYPE(index)->tp_name);
        throw_pending();
    }
    const Py_ssize_t i = PyNumber_AsSsize_t(index, PyExc_IndexError);
    if (i == -1 && PyErr_Occurred()) throw_pending();
    if (i < 0 || static_cast<std::size_t>(i) >= d.count())
        fail(PyExc_IndexError, "candidate index out of range");
    const auto committed = d.choose(static_cast<std::size_t>(i));
    return committed ? text(*committed) : touch::none();
}

Ref reset_composition(PyObject* self) {
    decoder(self).reset();
    return touch::none();
}

Ref flush_engine(PyObject* self) {
    decoder(self).flush();
    return touch::none();
}

Ref close_engine(PyObject* self) {
    engine(self).decoder.reset();
    return touch::none();
}

Ref enter_context(PyObject* self) {
    decoder(self);
    return Ref::borrow(self);
}

Ref exit_context(PyObject* self, PyObject*) { return close_engine(self); }

Ref letters(Decoder& d) { return text(d.letters()); }
Ref composition(Decoder& d) { return text(d.composition()); }
Ref fixed(Decoder& d) { return text(d.fixed()); }
Ref remaining(Decoder& d) { return text(d.remaining()); }
Ref count(Decoder& d) { return integer(d.count()); }

PyObject* closed(PyObject* self, void*) { return touch::boolean(!engine(self).decoder).release(); }

// ---- slots: every body runs through touch::guarded ----------------------------------------

PyObject* null() { return nullptr; }

template <Ref (*body)(PyObject*)>
PyObject* no_arguments(PyObject* self, PyObject*) {
    return touch::guarded([&] { return body(self).release(); }, null());
}

template <Ref (*body)(PyObject*, PyObject*)>
PyObject* one_argument(PyObject* self, PyObject* argument) {
    return touch::guarded([&] { return body(self, argument).release(); }, null());
}

template <Ref (*body)(PyObject*, PyObject*, PyObject*)>
PyObject* keyword_arguments(PyObject* self, PyObject* args, PyObject* kwargs) {
    return touch::guarded([&] { return body(self, args, kwargs).release(); }, null());
}

template <Ref (*body)(Decoder&)>
PyObject* property(PyObject* self, void*) {
    return touch::guarded([&] { return body(decoder(self)).release(); }, null());
}

PyObject* engine_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
    return touch::guarded([&] { return new_engine(type, args, kwargs).release(); }, null());
}

PyMethodDef engine_methods[] = {
    {"search", one_argument<search>, METH_O,
     "search($self, letters, /)\n--\n\n"
     "Compose `letters` (a-z, A-Z and the syllable separator ') and return the number of\n"
     "candidates. The earlier partial choices stay while the letters under them are unchanged.\n"
     "At most 39 letters and 9 syllables are kept; `letters` tells which."},
    {"candidates",
     reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(keyword_arguments<candidates>)),
     METH_VARARGS | METH_KEYWORDS,
     "candidates($self, /, start=0, count=None)\n--\n\n"
     "The candidates from `start`, at most `count` of them (None: all), best first. Candidate 0\n"
     "is the engine's sentence for the whole composition; the others are words and characters\n"
     "for the syllables at the start of what is not yet chosen."},
    {"choose", one_argument<choose>, METH_O,
     "choose($self, index, /)\n--\n\n"
     "Choose candidate `index`. When it completes the composition, return the whole text to\n"
     "commit and start the next composition (from any letters the engine could not read);\n"
     "when it covers only the first syllables, fix it and return None: `fixed`, `remaining`\n"
     "and the candidates then go on from the next syllable."},
    {"reset", no_arguments<reset_composition>, METH_NOARGS,
     "reset($self, /)\n--\n\nDrop the composition and its partial choices."},
    {"flush", no_arguments<flush_engine>, METH_NOARGS,
     "flush($self, /)\n--\n\n"
     "Drop the composition and write what the engine learnt to the user dictionary file."},
    {"close", no_arguments<close_engine>, METH_NOARGS,
     "close($self, /)\n--\n\n"
     "Close the engine: what it learnt is written to the user dictionary file the application\n"
     "named (a temporary one is deleted). Closing twice is allowed; any other call after it\n"
     "raises ValueError."},
    {"__enter__", no_arguments<enter_context>, METH_NOARGS, "__enter__($self, /)\n--\n\n"},
    {"__exit__", one_argument<exit_context>, METH_VARARGS, "__exit__($self, *exc_info)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

// A read-only property; PyGetSetDef's texts are char* before 3.7.
PyGetSetDef read_only(const char* name, getter get, const char* doc) {
    return {const_cast<char*>(name), get, nullptr, const_cast<char*>(doc), nullptr};
}

PyGetSetDef engine_properties[] = {
    read_only("letters", property<letters>, "The letters of the composition, as kept."),
    read_only("composition", property<composition>,
              "What to show: the fixed text, then the remaining syllables separated by spaces,\n"
              "then any letters the engine could not read: 'ni hao', '你hao'."),
    read_only("fixed", property<fixed>, "The text of the partial choices so far."),
    read_only("remaining", property<remaining>, "The letters after the partial choices."),
    read_only("count", property<count>, "The number of candidates."),
    read_only("closed", closed, "True once the engine is closed."),
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyType_Slot engine_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(engine_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(engine_dealloc)},
    {Py_tp_methods, engine_methods},
    {Py_tp_getset, engine_properties},
    {Py_tp_doc, const_cast<char*>(
                    "Engine(user_dictionary=None)\n--\n\n"
                    "The pinyin engine, one per process. What it learns from the user's choices\n"
                    "goes to a user dictionary: kept for the engine's life only, or, when\n"
                    "`user_dictionary` names a file, loaded from it and written back at close().\n"
                    "The file is created when missing; another kind of file is refused.")},
    {0, nullptr},
};

PyType_Spec engine_spec = {"tov_pinyin.Engine", sizeof(Engine), 0, Py_TPFLAGS_DEFAULT,
                           engine_slots};

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "tov_pinyin",
    "Chinese (pinyin) input: the pinyin engine of libgooglepinyin.\n\n"
    "Built with tov_touch where the engine is installed (Debian: libgooglepinyin0-dev).",
    -1,  // the engine's state is the process's: no per-interpreter state to keep
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

void add(Handle module, const char* name, Handle value) {
    if (PyObject_SetAttrString(module.get(), name, value.get()) < 0) throw_pending();
}

}  // namespace

// Before 3.9, PyMODINIT_FUNC does not export the symbol from a hidden-visibility build.
#if defined(__GNUC__)
#pragma GCC visibility push(default)
#endif
PyMODINIT_FUNC PyInit_tov_pinyin(void) {
    return touch::guarded(
        [] {
            Ref module = Ref::steal(PyModule_Create(&module_def));
            add(module, "Engine", Ref::steal(PyType_FromSpec(&engine_spec)));
            add(module, "SYSTEM_DICTIONARY",
                Ref::steal(PyUnicode_DecodeFSDefault(PINYIN_SYSTEM_DICTIONARY)));
            return module.release();
        },
        null());
}
#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
