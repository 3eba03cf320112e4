// The one include of the interpreter's headers, with the version switches the runtime needs.
// Supported: CPython 3.6 to 3.14.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>
#include <frameobject.h>  // PyFrame_New, for traceback entries

#if PY_VERSION_HEX < 0x03060000
#error "tov_touch needs CPython 3.6 or newer"
#endif

// CPython's Windows pyconfig.h describes a 64-bit target only when MS_WIN64 is defined, which
// MinGW builds before 3.13 must do themselves; the wrong one builds against 32-bit layouts.
static_assert(SIZEOF_VOID_P == sizeof(void*), "Python.h is for another pointer size (MS_WIN64?)");

// Vectorcall (PEP 590) is public from 3.9, provisional with underscored names in 3.8.
#if PY_VERSION_HEX >= 0x03080000
#define TOUCH_VECTORCALL 1
#if PY_VERSION_HEX < 0x03090000
#define PyObject_Vectorcall _PyObject_Vectorcall
#define Py_TPFLAGS_HAVE_VECTORCALL _Py_TPFLAGS_HAVE_VECTORCALL
#endif
#else
#define TOUCH_VECTORCALL 0
#endif

// PyObject_VectorcallMethod calls obj.name(...) without making a bound method (3.9+).
#define TOUCH_VECTORCALL_METHOD (PY_VERSION_HEX >= 0x03090000)

// The names in PyGetSetDef and PyMemberDef are `char*` before 3.7 (const from then on); CPython
// never writes through them.
constexpr char* attr_name(const char* name) { return const_cast<char*>(name); }
