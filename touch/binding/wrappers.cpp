// _CtrlWrapperBase, _CtrlWrapper, _GridWrapper: the text of a control, or of one grid cell,
// through get_string() / set_string(). Every access reads `_ctrl` afresh.
#include "binding.hpp"
#include "frame/globals.hpp"
#include "frame/names.hpp"

namespace touch::binding {

namespace {

[[noreturn]] void unsupported_widget() { raise(B.TypeError, C.widget_not_supported); }

// ---- _CtrlWrapperBase --------------------------------------------------------------------------

Ref base_init(Handle self, Handle ctrl) {
    self.set_attr(N._ctrl, ctrl);
    self.set_attr(N.window_style, self.attr(N._ctrl).method(N.GetWindowStyle));
    return none();
}

Ref abstract_get_string(Handle) { return none(); }
Ref abstract_set_string(Handle, Handle) { return none(); }

// A control without a parent window is its own dialog parent.
Ref get_parent(Handle self) {
    Ref parent = self.attr(N._ctrl).method(N.GetParent);
    if (parent.is_none()) parent = self.attr(N._ctrl);
    return parent;
}

// ---- _CtrlWrapper ------------------------------------------------------------------------------

Ref ctrl_init(Handle self, Handle ctrl) {
    return global(N._CtrlWrapperBase).attr(N.dunder_init)(self, ctrl);
}

// A value control first (its value as text), then a label.
Ref ctrl_get_string(Handle self) {
    if (self.attr(N._ctrl).has_attr(N.GetValue)) return str(self.attr(N._ctrl).method(N.GetValue));
    if (self.attr(N._ctrl).has_attr(N.GetLabel)) return self.attr(N._ctrl).method(N.GetLabel);
    unsupported_widget();
}

Ref ctrl_set_string(Handle self, Handle value) {
    if (self.attr(N._ctrl).has_attr(N.SetValue))
        self.attr(N._ctrl).method(N.SetValue, value);
    else if (self.attr(N._ctrl).has_attr(N.SetLabel))
        self.attr(N._ctrl).method(N.SetLabel, value);
    else
        unsupported_widget();
    return none();
}

// ---- _GridWrapper ------------------------------------------------------------------------------

bool assertions_enabled() {
    PyObject* flags = PySys_GetObject("flags");  // borrowed
    return !flags || !Handle(flags).attr(N.optimize).truthy();
}

Ref grid_init(Handle self, Handle ctrl) {
    if (assertions_enabled() && !ctrl.isinstance(global(N._grid).attr(N.Grid))) {
        PyErr_SetNone(PyExc_AssertionError);
        throw_pending();
    }
    global(N._CtrlWrapperBase).attr(N.dunder_init)(self, ctrl);
    self.set_attr(N.mangled_row, C.i0);
    self.set_attr(N.mangled_column, C.i0);
    return none();
}

Ref get_row(Handle self) { return self.attr(N.mangled_row); }
Ref set_row(Handle self, Handle value) {
    self.set_attr(N.mangled_row, value);
    return none();
}
Ref get_column(Handle self) { return self.attr(N.mangled_column); }
Ref set_column(Handle self, Handle value) {
    self.set_attr(N.mangled_column, value);
    return none();
}

Ref grid_get_string(Handle self) {
    Ref get_cell_value = self.attr(N._ctrl).attr(N.GetCellValue);
    Ref row = self.attr(N.row);
    Ref column = self.attr(N.column);
    return get_cell_value(kw(N.row, row), kw(N.col, column));
}

Ref grid_set_string(Handle self, Handle value) {
    Ref set_cell_value = self.attr(N._ctrl).attr(N.SetCellValue);
    Ref row = self.attr(N.row);
    Ref column = self.attr(N.column);
    set_cell_value(row, column, value);
    return none();
}

Ref value_is_int() { return dict_of({{N.value, C.int_text}}); }

}  // namespace

const ClassDef ctrl_wrapper_base_class = {
    "_CtrlWrapperBase",
    "_ABC",
    nullptr,
    {
        method(def<base_init>("__init__", "self ctrl")),
        abstract_method(def<abstract_get_string>("get_string", "self")),
        abstract_method(def<abstract_set_string>("set_string", "self value")),
        method(def<get_parent>("get_parent", "self")),
    },
};

const ClassDef ctrl_wrapper_class = {
    "_CtrlWrapper",
    "_CtrlWrapperBase",
    "\n\tTextCtrl、StaticText 等控件的封装类。\n\t",
    {
        method(def<ctrl_init>("__init__", "self ctrl")),
        method(def<ctrl_get_string>("get_string", "self")),
        method(def<ctrl_set_string>("set_string", "self value")),
    },
};

const ClassDef grid_wrapper_class = {
    "_GridWrapper",
    "_CtrlWrapperBase",
    nullptr,
    {
        method(def<grid_init>("__init__", "self ctrl")),
        property(def<get_row>("row", "self"),
                 def<set_row>("row", "self value", Check::none, nullptr, value_is_int)),
        property(def<get_column>("column", "self"),
                 def<set_column>("column", "self value", Check::none, nullptr, value_is_int)),
        method(def<grid_get_string>("get_string", "self")),
        method(def<grid_set_string>("set_string", "self value")),
    },
};

namespace {

bool is_grid(Handle ctrl, Handle grid) { return ctrl.isinstance(grid.attr(N.Grid)); }

}  // namespace

Ref wrap_control(Handle ctrl, Handle grid) {
    return global(is_grid(ctrl, grid) ? N._GridWrapper : N._CtrlWrapper)(ctrl);
}

void bind_touch(Handle proxy, Handle ctrl, Handle event, Handle grid) {
    Ref binder = event;
    if (binder.is_none())
        binder = is_grid(ctrl, grid) ? grid.attr(N.EVT_GRID_CMD_CELL_LEFT_DCLICK)
                                     : global(N.wx).attr(N.EVT_LEFT_DOWN);
    ctrl.method(N.Bind, binder, proxy.attr(N.event_handler));
}

Ref set_control_text(Handle self, Handle value) {
    self.attr(N._ctrl).method(N.set_string, str(value));
    return none();
}

void follow_grid_event(Handle wrapper, Handle event, Handle grid) {
    if (!event.isinstance(grid.attr(N.GridEvent))) return;
    if (!wrapper.isinstance(global(N._GridWrapper))) return;
    wrapper.set_attr(N.row, event.method(N.GetRow));
    wrapper.set_attr(N.column, event.method(N.GetCol));
}

}  // namespace touch::binding
