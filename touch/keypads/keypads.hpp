// The keypad dialogs: subclasses of the forms of tov_touchui that add all behaviour.
#pragma once

#include "frame/classes.hpp"

namespace touch::keypads {

extern const ClassDef digit_keypad_class;
extern const ClassDef digit_password_keypad_class;
extern const ClassDef alpha_keypad_class;

// The annotations of the constructors that take a prompt: {"message": "unicode"}.
Ref message_is_unicode();

// What the two digit keypads share.

// wx.Font(size, FONTFAMILY_DEFAULT, FONTSTYLE_NORMAL, FONTWEIGHT_NORMAL, False, EmptyString):
// every font the keypads make.
Ref keypad_font(Handle size);
// The field's point size: show_size, or font_size + 12 when it is None.
Ref field_font_size(Handle font_size, Handle show_size);
// SetFont(font) on the sixteen keys DotPoint, m_button2 .. m_button13, m_button15 .. m_button17,
// all of them read before the first is set.
void set_key_fonts(Handle dialog, Handle font);

}  // namespace touch::keypads
