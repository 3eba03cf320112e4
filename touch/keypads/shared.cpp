// What the keypads share: the annotation of their prompts, and the fonts and key set of the two
// digit keypads.
#include "frame/globals.hpp"
#include "frame/names.hpp"
#include "keypads.hpp"

namespace touch::keypads {

Ref message_is_unicode() { return dict_of({{N.message, C.unicode}}); }

Ref keypad_font(Handle size) {
    Ref wx = global(N.wx);
    return wx.attr(N.Font)(size, wx.attr(N.FONTFAMILY_DEFAULT), wx.attr(N.FONTSTYLE_NORMAL),
                           wx.attr(N.FONTWEIGHT_NORMAL), Py_False, wx.attr(N.EmptyString));
}

Ref field_font_size(Handle font_size, Handle show_size) {
    return show_size.is_none() ? font_size + C.i12 : Ref(show_size);
}

void set_key_fonts(Handle dialog, Handle font) {
    PyObject* const names[] = {N.DotPoint,   N.m_button2,  N.m_button3,  N.m_button4,
                               N.m_button5,  N.m_button6,  N.m_button7,  N.m_button8,
                               N.m_button9,  N.m_button10, N.m_button11, N.m_button12,
                               N.m_button13, N.m_button15, N.m_button16, N.m_button17};
    Ref keys[16];
    for (int i = 0; i < 16; ++i) keys[i] = dialog.attr(names[i]);
    for (const Ref& key : keys) key.method(N.SetFont, font);
}

}  // namespace touch::keypads
