// The modal cycle every user of a keypad follows: create, pre-fill, ShowModal(), read on OK,
// Destroy(). A dialog is destroyed on every path: one left alive after an exception is a hidden
// top-level window that leaks and keeps the application's main loop from ending.
//
// When the parent window is destroyed while the dialog is open (an inactivity timer closing the
// screen), the forms end the dialog as cancelled rather than let wx delete it inside ShowModal().
// Should wx delete the dialog all the same (a form or a subclass that does not guard against it),
// the dialog counts as cancelled, is never read and is not destroyed a second time.
#pragma once

#include "frame/error.hpp"
#include "frame/names.hpp"

namespace touch::keypads {

// Destroy(), unless wx already deleted the dialog.
void destroy(Handle dialog);
void destroy_keeping_pending_exception(Handle dialog) noexcept;

// Runs `work`; if it raises, destroys `dialog` and lets the exception propagate exactly as it
// was raised (a failure of Destroy() on that path is dropped: the first exception is the one the
// caller must see). Dialog constructors wrap everything after the form's own constructor in it,
// so that a failing constructor leaves no hidden window behind either.
template <class Work>
Ref destroy_on_exception(Handle dialog, Work&& work) {
    try {
        return work();
    } catch (const PythonError&) {
        destroy_keeping_pending_exception(dialog);
        throw;
    }
}

// Runs `work` (which shows `dialog`), then destroys the dialog, on every path.
template <class Work>
Ref run_then_destroy(Handle dialog, Work&& work) {
    Ref result = destroy_on_exception(dialog, work);
    destroy(dialog);
    return result;
}

// ShowModal(); did it end with wx.ID_OK? (`==`, with wx.ID_OK read afterwards.) False when wx
// deleted the dialog meanwhile: a dead dialog's result code is not the user's answer.
bool confirmed(Handle dialog);

}  // namespace touch::keypads
