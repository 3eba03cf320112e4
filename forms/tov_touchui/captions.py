"""The texts the forms draw (key faces, range captions, window titles, the forms' own prompts),
one table per language, and the choice of language.

The keypad class's own texts (its default prompts, its error boxes) are not here: they are the
module's and stay as they are.
"""
import collections
import os
import re

import wx

from . import settings

# Every language has every caption (tests/test_languages.py checks it).
CAPTIONS = {
    "en": {
        "clear": "Clear", "confirm": "OK", "cancel": "Cancel", "shift": "Shift",
        "caps": "Caps", "space": "Space", "tab": "Tab", "minimum": "Min: ",
        "maximum": "Max: ", "title_numeric": "Number", "title_pin": "PIN",
        "title_text": "Keyboard", "prompt_number": "Enter a number:",
        "prompt_pin": "Enter PIN:", "prompt_text": "Enter text:",
    },
    "zh_CN": {
        "clear": "清除", "confirm": "确定", "cancel": "取消", "shift": "上档",
        "caps": "大写", "space": "空格", "tab": "Tab", "minimum": "最小值：",
        "maximum": "最大值：", "title_numeric": "数字键盘", "title_pin": "密码键盘",
        "title_text": "键盘", "prompt_number": "请输入数值：", "prompt_pin": "请输入密码：",
        "prompt_text": "请输入：",
    },
    "zh_TW": {
        "clear": "清除", "confirm": "確定", "cancel": "取消", "shift": "上檔",
        "caps": "大寫", "space": "空白", "tab": "Tab", "minimum": "最小值：",
        "maximum": "最大值：", "title_numeric": "數字鍵盤", "title_pin": "密碼鍵盤",
        "title_text": "鍵盤", "prompt_number": "請輸入數值：", "prompt_pin": "請輸入密碼：",
        "prompt_text": "請輸入：",
    },
    "de": {
        "clear": "Löschen", "confirm": "OK", "cancel": "Abbrechen", "shift": "Umschalt",
        "caps": "Feststell", "space": "Leertaste", "tab": "Tab", "minimum": "Min.: ",
        "maximum": "Max.: ", "title_numeric": "Zahl", "title_pin": "PIN",
        "title_text": "Tastatur", "prompt_number": "Zahl eingeben:",
        "prompt_pin": "PIN eingeben:", "prompt_text": "Text eingeben:",
    },
    "fr": {
        "clear": "Effacer", "confirm": "OK", "cancel": "Annuler", "shift": "Maj",
        "caps": "Verr. maj", "space": "Espace", "tab": "Tab", "minimum": "Min. : ",
        "maximum": "Max. : ", "title_numeric": "Nombre", "title_pin": "Code PIN",
        "title_text": "Clavier", "prompt_number": "Saisir un nombre :",
        "prompt_pin": "Saisir le code :", "prompt_text": "Saisir le texte :",
    },
    "es": {
        "clear": "Borrar", "confirm": "Aceptar", "cancel": "Cancelar", "shift": "Mayús",
        "caps": "Bloq mayús", "space": "Espacio", "tab": "Tab", "minimum": "Mín.: ",
        "maximum": "Máx.: ", "title_numeric": "Número", "title_pin": "PIN",
        "title_text": "Teclado", "prompt_number": "Introduzca un número:",
        "prompt_pin": "Introduzca el PIN:", "prompt_text": "Introduzca el texto:",
    },
    "it": {
        "clear": "Cancella", "confirm": "OK", "cancel": "Annulla", "shift": "Maiusc",
        "caps": "Bloc maiusc", "space": "Spazio", "tab": "Tab", "minimum": "Min: ",
        "maximum": "Max: ", "title_numeric": "Numero", "title_pin": "PIN",
        "title_text": "Tastiera", "prompt_number": "Inserire un numero:",
        "prompt_pin": "Inserire il PIN:", "prompt_text": "Inserire il testo:",
    },
    "pt": {
        "clear": "Limpar", "confirm": "OK", "cancel": "Cancelar", "shift": "Shift",
        "caps": "Caps", "space": "Espaço", "tab": "Tab", "minimum": "Mín.: ",
        "maximum": "Máx.: ", "title_numeric": "Número", "title_pin": "PIN",
        "title_text": "Teclado", "prompt_number": "Introduza um número:",
        "prompt_pin": "Introduza o PIN:", "prompt_text": "Introduza o texto:",
    },
    "ru": {
        "clear": "Очистить", "confirm": "ОК", "cancel": "Отмена", "shift": "Shift",
        "caps": "Caps", "space": "Пробел", "tab": "Tab", "minimum": "Мин.: ",
        "maximum": "Макс.: ", "title_numeric": "Число", "title_pin": "PIN-код",
        "title_text": "Клавиатура", "prompt_number": "Введите число:",
        "prompt_pin": "Введите PIN-код:", "prompt_text": "Введите текст:",
    },
    "ja": {
        "clear": "クリア", "confirm": "確定", "cancel": "キャンセル", "shift": "Shift",
        "caps": "Caps", "space": "スペース", "tab": "Tab", "minimum": "最小：",
        "maximum": "最大：", "title_numeric": "数値", "title_pin": "暗証番号",
        "title_text": "キーボード", "prompt_number": "数値を入力：",
        "prompt_pin": "暗証番号を入力：", "prompt_text": "入力してください：",
    },
    "ko": {
        "clear": "지우기", "confirm": "확인", "cancel": "취소", "shift": "Shift",
        "caps": "Caps", "space": "스페이스", "tab": "Tab", "minimum": "최소: ",
        "maximum": "최대: ", "title_numeric": "숫자", "title_pin": "비밀번호",
        "title_text": "키보드", "prompt_number": "숫자 입력:", "prompt_pin": "비밀번호 입력:",
        "prompt_text": "입력:",
    },
}

# Symbols, the same in every language.
SYMBOLS = {"backspace": "\u232b"}  # ⌫

LANGUAGES = tuple(CAPTIONS)
DEFAULT_LANGUAGE = "en"

# A locale name as POSIX and BCP 47 write it, in any case, with "_" or "-": language, then an
# optional script and region, then POSIX's encoding and modifier ("zh-Hant-HK", "de_DE.UTF-8",
# "sr_RS@latin").
_LOCALE = re.compile(r"""(?P<language>[A-Za-z]{2,3})
                         (?:[-_](?P<script>[A-Za-z]{4}))?
                         (?:[-_](?P<region>[A-Za-z]{2}|[0-9]{3}))?
                         (?:\.[-\w]*)?(?:@\w*)?\Z""", re.VERBOSE)
# Chinese is written in Traditional characters where the script says so, else in these regions.
TRADITIONAL_REGIONS = ("TW", "HK", "MO")

Locale = collections.namedtuple("Locale", "language script region")

_chosen = None  # the Locale set with set_language(); None: follow the application's language


def set_language(code):
    """Choose the language of the captions of every keypad opened from now on: one of
    LANGUAGES, a locale name such as "de_DE.UTF-8", "zh-Hant-HK" or "pt_BR" (matched as a
    locale: any case, "_" or "-"), or None to follow the application's language again.

    Anything but a str or None raises TypeError, a name without captions ValueError; either
    way the setting stays as it was."""
    global _chosen
    code = settings.name_argument("set_language", "code", code, none_allowed=True)
    if code is None:
        _chosen = None
        return
    locale = parse_locale(code)
    if locale is None or captions_for(locale) is None:
        raise ValueError("no captions for %r; languages: %s (or a locale name of one)"
                         % (code, ", ".join(LANGUAGES)))
    _chosen = locale


def chosen_locale():
    """The Locale set with set_language(), or None when the captions follow the
    application."""
    return _chosen


def get_language():
    """The language the captions are in now (a name of LANGUAGES): the one set, else the
    application's."""
    return captions_for(_chosen) if _chosen else application_language()


def caption(name, language=None):
    """The text drawn for `name` ("clear", "confirm", "space"...) in `language`, by default the
    current one."""
    return SYMBOLS.get(name) or CAPTIONS[language or get_language()][name]


def parse_locale(name):
    """The Locale of a locale name: Locale("zh", "Hant", "TW") for "zh_hant-tw.UTF-8";
    None for what is no locale's name ("C", "POSIX", "")."""
    found = _LOCALE.match(name)
    if not found:
        return None
    language, script, region = found.group("language", "script", "region")
    return Locale(language.lower(), (script or "").title(), (region or "").upper())


def captions_for(locale):
    """The name of the captions of a Locale, or None when there are none in its language."""
    if locale.language == "zh":
        traditional = locale.script == "Hant" or (
            not locale.script and locale.region in TRADITIONAL_REGIONS)
        return "zh_TW" if traditional else "zh_CN"
    return settings.canonical(locale.language, LANGUAGES)


def application_locale():
    """The first locale the application asks for (see requested_locales), or None."""
    return next(application_locales(), None)


def application_language():
    """The application's language: the first locale it asks for that has captions; English
    otherwise."""
    return next(filter(None, map(captions_for, application_locales())), DEFAULT_LANGUAGE)


def application_locales():
    return filter(None, map(parse_locale, requested_locales()))


def requested_locales():
    """The locale names the application asks for, first choice first ("de_DE.UTF-8"...):
    its wx.Locale; then, as gettext reads them, the list in LANGUAGE and the first of
    LC_ALL, LC_MESSAGES and LANG that is set."""
    app_locale = wx.GetLocale() if wx.GetApp() is not None else None
    if app_locale is not None and app_locale.IsOk():
        yield app_locale.GetCanonicalName()
    for code in os.environ.get("LANGUAGE", "").split(":"):
        if code:
            yield code
    for variable in ("LC_ALL", "LC_MESSAGES", "LANG"):
        if os.environ.get(variable):
            yield os.environ[variable]
            return
