"""The texts the forms draw: key faces, range captions and window titles."""

CAPTIONS = {
    "clear": "清除",
    "confirm": "确定",
    "cancel": "取消",
    "backspace": "\u232b",  # ⌫
    "shift": "Shift",
    "caps": "Caps",
    "space": "Space",
    "tab": "Tab",
    "minimum": "最小值：",
    "maximum": "最大值：",
    "title_numeric": "数字键盘",
    "title_pin": "密码键盘",
    "title_text": "键盘",
    "prompt_pin": "请输入密码：",
    "prompt_text": "请输入：",
}


def caption(name):
    return CAPTIONS[name]
