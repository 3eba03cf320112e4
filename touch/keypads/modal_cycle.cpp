#include "modal_cycle.hpp"

#include "frame/globals.hpp"

namespace touch::keypads {

void destroy_keeping_pending_exception(Handle dialog) noexcept {
    PendingException pending;
    try {
        dialog.method(N.Destroy);
    } catch (const PythonError&) {
        PyErr_Clear();
    }
}

bool confirmed(Handle dialog) {
    Ref code = dialog.method(N.ShowModal);
    return equal(code, global(N.wx).attr(N.ID_OK));
}

}  // namespace touch::keypads
