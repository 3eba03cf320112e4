#include "modal_cycle.hpp"

#include "frame/globals.hpp"

namespace touch::keypads {

namespace {

// A wx window is false once its C++ object is gone.
bool deleted(Handle dialog) { return !dialog.truthy(); }

}  // namespace

void destroy(Handle dialog) {
    if (!deleted(dialog)) dialog.method(N.Destroy);
}

void destroy_keeping_pending_exception(Handle dialog) noexcept {
    PendingException pending;
    try {
        destroy(dialog);
    } catch (const PythonError&) {
        PyErr_Clear();
    }
}

bool confirmed(Handle dialog) {
    Ref code = dialog.method(N.ShowModal);
    if (deleted(dialog)) return false;
    return equal(code, global(N.wx).attr(N.ID_OK));
}

}  // namespace touch::keypads
