// The modal cycle every user of a keypad follows: create, pre-fill, ShowModal(), read on OK,
// Destroy(). The dialog is destroyed on every path: a dialog left alive after an exception is a
// hidden top-level window that leaks and keeps the application's main loop from ending.
#pragma once

#include "frame/error.hpp"
#include "frame/names.hpp"

namespace touch::keypads {

void destroy_keeping_pending_exception(Handle dialog) noexcept;

// Runs `work` (which shows `dialog`), then destroys the dialog. An exception from `work`
// propagates exactly as it was raised; a failure of Destroy() on that path is dropped, since the
// first exception is the one the caller must see.
template <class Work>
Ref run_then_destroy(Handle dialog, Work&& work) {
    Ref result;
    try {
        result = work();
    } catch (const PythonError&) {
        destroy_keeping_pending_exception(dialog);
        throw;
    }
    dialog.method(N.Destroy);
    return result;
}

// Did ShowModal() end with wx.ID_OK? (`==`, with wx.ID_OK read afterwards.)
bool confirmed(Handle dialog);

}  // namespace touch::keypads
