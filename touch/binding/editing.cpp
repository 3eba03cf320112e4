// While a bound control's keypad is open, and as it closes: the field is named and marked (the
// forms' tov_touchui.editing.EditedField), and a confirmed text reaches the application as a person's commit does.
#include "binding.hpp"
#include "frame/error.hpp"
#include "frame/globals.hpp"
#include "frame/names.hpp"
#include "keypads/modal_cycle.hpp"

namespace touch::binding {

namespace {

Ref editing() { return Ref::steal(PyImport_ImportModule("tov_touchui.editing")); }

bool is_grid_wrapper(Handle wrapper) { return wrapper.isinstance(global(N._GridWrapper)); }

// Runs `event` through the control's handlers, as wx runs the events it sends itself; false
// when a handler vetoed it.
bool send(Handle control, Handle event) {
    event.method(N.SetEventObject, control);
    control.method(N.GetEventHandler).method(N.ProcessEvent, event);
    return !event.has_attr(N.IsAllowed) || event.method(N.IsAllowed).truthy();
}

// A grid's own editor: EVT_GRID_CELL_CHANGING with the new text (a veto keeps the cell), the
// write, then EVT_GRID_CELL_CHANGED with the old text (a veto puts it back).
bool commit_cell(Handle wrapper, Handle text) {
    Ref grid = wrapper.attr(N._ctrl);
    Ref grid_module = global(N._grid);
    Ref row = wrapper.attr(N.row);
    Ref column = wrapper.attr(N.column);
    const auto grid_event = [&](PyObject* type, Handle carried) {
        Ref event = grid_module.attr(N.GridEvent)(grid.method(N.GetId), grid_module.attr(type),
                                                  grid, row, column);
        event.method(N.SetString, carried);
        return send(grid, event);
    };
    Ref old = wrapper.method(N.get_string);
    if (!grid_event(N.wxEVT_GRID_CELL_CHANGING, text)) return false;
    wrapper.method(N.set_string, text);
    if (grid_event(N.wxEVT_GRID_CELL_CHANGED, old)) return true;
    wrapper.method(N.set_string, old);
    return false;
}

// The event a person's commit of a new value makes the control send, beyond what SetValue
// already sent (EVT_TEXT): spin controls their spin event; a text entry that processes Enter
// EVT_TEXT_ENTER, as the Enter key would.
void announce_value(Handle control, Handle text) {
    Ref wx = global(N.wx);
    Ref id = control.method(N.GetId);
    if (control.isinstance(wx.attr(N.SpinCtrlDouble))) {
        send(control, wx.attr(N.SpinDoubleEvent)(wx.attr(N.wxEVT_SPINCTRLDOUBLE), id,
                                                 control.method(N.GetValue)));
    } else if (control.isinstance(wx.attr(N.SpinCtrl))) {
        Ref event = wx.attr(N.SpinEvent)(wx.attr(N.wxEVT_SPINCTRL), id);
        event.method(N.SetPosition, control.method(N.GetValue));
        send(control, event);
    }
    Ref enter = control.method(N.GetWindowStyle) | wx.attr(N.TE_PROCESS_ENTER);
    if (control.isinstance(wx.attr(N.TextEntry)) && equal(enter, control.method(N.GetWindowStyle))) {
        Ref event = wx.attr(N.CommandEvent)(wx.attr(N.wxEVT_TEXT_ENTER), id);
        event.method(N.SetString, text);
        send(control, event);
    }
}

// Writes a confirmed `text` through `wrapper`; false when the application vetoed the change.
bool commit(Handle wrapper, Handle text) {
    if (is_grid_wrapper(wrapper)) return commit_cell(wrapper, text);
    wrapper.method(N.set_string, text);
    Ref control = wrapper.attr(N._ctrl);
    if (control.isinstance(global(N.wx).attr(N.Window))) announce_value(control, text);
    return true;
}

}  // namespace

EditedField::EditedField(Handle proxy, Handle wrapper, Handle kind) : wrapper_(wrapper) {
    Ref control = wrapper.attr(N._ctrl);
    Ref row = none(), column = none();
    if (is_grid_wrapper(wrapper)) {
        row = wrapper.attr(N.row);
        column = wrapper.attr(N.column);
    }
    Ref given = proxy.has_attr(N.prompt) ? proxy.attr(N.prompt) : none();
    field_ = editing().attr(N.EditedField)(control, row, column, given, kind);
}

EditedField::~EditedField() {
    PendingException pending;
    try {
        field_.method(N.unmark);
    } catch (const PythonError&) {
        PyErr_Clear();  // the mark is a courtesy; the keypad's own outcome is what counts
    }
}

Ref EditedField::prompt() const { return field_.attr(N.prompt); }

void EditedField::edit_with(Handle keypad, PyObject* fill, Handle text, PyObject* read) {
    Ref typed = Ref::borrow(C.empty);
    bool written = false;
    keypads::run_then_destroy(keypad, [&] {
        keypad.method(fill, text);
        if (keypads::confirmed(keypad)) {
            typed = keypad.method(read);
            written = commit(wrapper_, typed);
        }
        return none();
    });
    field_.method(N.finish, boolean(written), typed);
}

}  // namespace touch::binding
