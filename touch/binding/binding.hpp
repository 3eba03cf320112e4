// Control binding: one interface to the text of a control or grid cell (the wrappers), and the
// proxies that open a keypad when a bound control is touched.
#pragma once

#include "frame/classes.hpp"

namespace touch::binding {

extern const ClassDef ctrl_wrapper_base_class;
extern const ClassDef ctrl_wrapper_class;
extern const ClassDef grid_wrapper_class;
extern const ClassDef digit_keypad_proxy_class;
extern const ClassDef alpha_keypad_proxy_class;

// What the proxies share. `grid` is the wx.grid module as the proxy names it (the numeric proxy
// says `_grid`, the text proxy `wx.grid`), looked up when the statement runs.

// The wrapper a proxy keeps for `ctrl`: _GridWrapper for a grid, _CtrlWrapper otherwise.
Ref wrap_control(Handle ctrl, Handle grid);
// Binds `event` (or the default for the control: a cell double click on grids, a left press
// elsewhere) to the proxy's event_handler on the raw control.
void bind_touch(Handle proxy, Handle ctrl, Handle event, Handle grid);
// set_value(self, value) of both proxies: the control shows str(value).
Ref set_control_text(Handle self, Handle value);
// Points a grid wrapper at the cell of a grid event; other events and wrappers are left alone.
void follow_grid_event(Handle wrapper, Handle event, Handle grid);

// The field a keypad edits, while the keypad is open: named for its prompt (the proxy's own
// `prompt` first) and marked on screen; the mark goes on every path. `kind` names the default
// prompt: "number" or "text".
class EditedField {
public:
    EditedField(Handle proxy, Handle wrapper, Handle kind);
    ~EditedField();
    EditedField(const EditedField&) = delete;
    EditedField& operator=(const EditedField&) = delete;

    Ref prompt() const;
    // The modal cycle of the field's `keypad`: pre-filled with `text` through its method `fill`,
    // shown; on OK its text (method `read`) committed as a person's edit is (the events a person
    // makes the control send: a grid cell's CHANGING/CHANGED with a veto honoured, a spin
    // control's spin event, EVT_TEXT_ENTER where Enter is processed); destroyed on every path.
    // Then the mark goes and the application hears EVT_KEYPAD_OK (the text was written) or
    // EVT_KEYPAD_CANCEL.
    void edit_with(Handle keypad, PyObject* fill, Handle text, PyObject* read);

private:
    Ref wrapper_;
    Ref field_;
};

}  // namespace touch::binding
