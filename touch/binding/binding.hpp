// Control binding: one interface to the text of a control or grid cell (the wrappers), and the
// proxies that open a keypad when a bound control is touched.
#pragma once

#include "frame/classes.hpp"

namespace touch::binding {

extern const ClassDef ctrl_wrapper_base_class;
extern const ClassDef ctrl_wrapper_class;
extern const ClassDef grid_wrapper_class;
extern const ClassDef digit_keypad_proxy_class;

// The wrapper a proxy keeps for `ctrl`: _GridWrapper for a grid, _CtrlWrapper otherwise.
Ref wrap_control(Handle ctrl);
bool is_grid(Handle ctrl);
// Points a grid wrapper at the cell of a grid event; other events and wrappers are left alone.
void follow_grid_event(Handle wrapper, Handle event);
// Binds `event` (or the default for the control: a cell double click on grids, a left press
// elsewhere) to the proxy's event_handler on the raw control.
void bind_touch(Handle proxy, Handle ctrl, Handle event);

}  // namespace touch::binding
