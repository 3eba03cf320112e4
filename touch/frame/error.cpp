#include "error.hpp"

namespace touch {

void translate_exception() noexcept {
    try {
        throw;
    } catch (const PythonError&) {
        // Already pending.
    } catch (const std::bad_alloc&) {
        PyErr_NoMemory();
    } catch (const std::exception& e) {
        PyErr_SetString(PyExc_SystemError, e.what());
    } catch (...) {
        PyErr_SetString(PyExc_SystemError, "tov_touch: unknown C++ exception");
    }
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_SystemError, "tov_touch: failure without error");
}

}  // namespace touch
