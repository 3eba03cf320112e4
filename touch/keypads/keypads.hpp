// The keypad dialogs: subclasses of the forms of tov_touchui that add all behaviour.
#pragma once

#include "frame/classes.hpp"

namespace touch::keypads {

extern const ClassDef digit_keypad_class;

// wx.Font(size, FONTFAMILY_DEFAULT, FONTSTYLE_NORMAL, FONTWEIGHT_NORMAL, False, EmptyString):
// every font the keypads make.
Ref keypad_font(Handle size);

}  // namespace touch::keypads
