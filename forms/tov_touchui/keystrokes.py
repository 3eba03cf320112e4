"""What a physical keystroke types: the char hook sees keys before the toolkit translates them."""
import wx

# Keypad keys that type a character; their wx key codes don't carry one in the char hook.
_NUMPAD_CHARS = {
    wx.WXK_NUMPAD0: "0", wx.WXK_NUMPAD1: "1", wx.WXK_NUMPAD2: "2", wx.WXK_NUMPAD3: "3",
    wx.WXK_NUMPAD4: "4", wx.WXK_NUMPAD5: "5", wx.WXK_NUMPAD6: "6", wx.WXK_NUMPAD7: "7",
    wx.WXK_NUMPAD8: "8", wx.WXK_NUMPAD9: "9", wx.WXK_NUMPAD_DECIMAL: ".",
    wx.WXK_NUMPAD_ADD: "+", wx.WXK_NUMPAD_SUBTRACT: "-", wx.WXK_NUMPAD_MULTIPLY: "*",
    wx.WXK_NUMPAD_DIVIDE: "/", wx.WXK_NUMPAD_SPACE: " ",
}

# Used only where the toolkit does not tell us the translated character (see typed_char).
_US_SHIFTED = dict(zip("`1234567890-=[]\\;',./", "~!@#$%^&*()_+{}|:\"<>?"))


def typed_char(event):
    """The character a char-hook key event types, or None for keys that type nothing.

    The char hook sees the key before translation: GetUnicodeKey() is "A" for both a and A and
    "1" for "!". wxGTK's raw key code is the GDK keyval, which has shift, caps lock and the
    keyboard layout applied, so it is the one to trust there.
    """
    code = event.GetKeyCode()
    if code in _NUMPAD_CHARS:
        return _NUMPAD_CHARS[code]
    keyval = event.GetRawKeyCode()
    if wx.Platform == "__WXGTK__" and keyval:  # 0: an event made by a program, not by GTK
        if 0x20 <= keyval <= 0x7E or 0xA0 <= keyval <= 0xFF:
            return chr(keyval)
        if keyval & 0xFF000000 == 0x01000000:  # GDK's direct Unicode keyvals
            return chr(keyval & 0x00FFFFFF)
        return None
    uni = event.GetUnicodeKey()
    if uni == wx.WXK_NONE or uni < 0x20 or uni == 0x7F:
        return None
    char = chr(uni)
    if char.isalpha():
        upper = event.ShiftDown() != wx.GetKeyState(wx.WXK_CAPITAL)
        return char.upper() if upper else char.lower()
    if event.ShiftDown():
        return _US_SHIFTED.get(char, char)
    return char
