"""Keyboard layouts of the text keyboard, as data, and the choice among them.

A layout gives:
    tag               what the layout switch key shows for it
    symbols           the two symbol rows, unshifted: the number row, then the punctuation
                      that has no place among the letters
    shifted_symbols   the same rows shifted, each symbol where its base key is
    letters           the three letter rows; caps types their upper case
    alternatives      what holding a key offers (accented letters, the AltGr symbols)
    letters_face      what the page key shows on the symbols page of a narrow screen ("ABC")
    alternate         the layout the switch key goes to (a Latin one for Cyrillic, Greek)
    engine            an engine of composing.ENGINES ("pinyin"): the lower-case letters
                      compose through it
    caps_letters      what caps types instead of the capitals (east_asian_layouts.py)
"""
from . import captions, composing, east_asian_layouts, settings

# Accented letters a hold on the base letter offers, in every Latin layout.
LATIN_ACCENTS = {
    "a": "àáâäæãåā", "c": "çćč", "e": "èéêëēėę", "i": "îïíīįì", "l": "ł", "n": "ñń",
    "o": "ôöòóœøōõ", "s": "ßśš", "u": "ûüùúū", "y": "ÿý", "z": "žźż",
}

# What every layout offers on its digit and punctuation keys besides: the dashes, currency,
# section and degree signs; and where it has the keys, the ellipsis and quotation marks.
TYPOGRAPHY = {"-": "–—", "4": "€£¥¢", "5": "§", "0": "°"}
QUOTES = {".": "…", "'": "‘’‚", "\"": "“”„«»"}


def _with(*tables, **more):
    """The tables merged: where two give a key alternatives, it offers both, each once."""
    merged = {}
    for table in tables + (more,):
        for key, chars in table.items():
            merged[key] = "".join(dict.fromkeys(merged.get(key, "") + chars))
    return merged


# Latin layouts: the micro sign on m as well.
LATIN = _with(LATIN_ACCENTS, TYPOGRAPHY, QUOTES, m="µ")

LAYOUTS = {
    "us": {
        "tag": "EN",
        "symbols": ("`1234567890-=", "[]\\;',./"),
        "shifted_symbols": ("~!@#$%^&*()_+", "{}|:\"<>?"),
        "letters": ("qwertyuiop", "asdfghjkl", "zxcvbnm"),
        "alternatives": _with(LATIN),
    },
    "uk": {
        "tag": "EN",
        "symbols": ("`1234567890-=", "[];'#,./\\"),
        "shifted_symbols": ("¬!\"£$%^&*()_+", "{}:@~<>?|"),
        "letters": ("qwertyuiop", "asdfghjkl", "zxcvbnm"),
        "alternatives": _with(LATIN, **{"4": "€", "`": "¦"}),
    },
    "de": {
        "tag": "DE",
        "symbols": ("^1234567890ß´", "+#<,.-"),
        "shifted_symbols": ("°!\"§$%&/()=?`", "*'>;:_"),
        "letters": ("qwertzuiopü", "asdfghjklöä", "yxcvbnm"),
        # What AltGr types on a German keyboard, held on the same key.
        "alternatives": _with(LATIN, q="@", e="€èéêë", **{
            "2": "²", "3": "³", "7": "{", "8": "[", "9": "]", "0": "}", "ß": "\\",
            "+": "~", "<": "|", "\"": "„“”«»", "'": "‚‘’"}),
    },
    "fr": {
        "tag": "FR",
        "symbols": ("²&é\"'(-è_çà)=", "^$ù*<,;:!"),
        "shifted_symbols": ("³1234567890°+", "¨£%µ>?./§"),
        "letters": ("azertyuiop", "qsdfghjklm", "wxcvbn"),
        "alternatives": _with(LATIN, e="€éèêë", **{
            "é": "~", "\"": "#«»“”", "'": "{", "(": "[", "-": "|", "è": "`", "_": "\\",
            "ç": "^", "à": "@", ")": "]", "=": "}"}),
    },
    "es": {
        "tag": "ES",
        "symbols": ("º1234567890'¡", "`+´ç,.-<"),
        "shifted_symbols": ("ª!\"·$%&/()=?¿", "^*¨Ç;:_>"),
        "letters": ("qwertyuiop", "asdfghjklñ", "zxcvbnm"),
        "alternatives": _with(LATIN, e="€éèêë", **{
            "º": "\\", "1": "|", "2": "@", "3": "#", "4": "~", "6": "¬", "`": "[",
            "+": "]", "´": "{", "ç": "}", "\"": "«»“”"}),
    },
    "it": {
        "tag": "IT",
        "symbols": ("\\1234567890'ì", "èò+àù,.-<"),
        "shifted_symbols": ("|!\"£$%&/()=?^", "éç*°§;:_>"),
        "letters": ("qwertyuiop", "asdfghjkl", "zxcvbnm"),
        # Italian AltGr: ` on ', ~ on ì, [ { on è, ] } on +, @ on ò, # on à.
        "alternatives": _with(LATIN, e="€éèêë", **{
            "'": "`", "ì": "~", "è": "[{", "+": "]}", "ò": "@", "à": "#", "\"": "«»“”"}),
    },
    "pt": {
        "tag": "PT",
        "symbols": ("\\1234567890'«", "+´ºç~,.-<"),
        "shifted_symbols": ("|!\"#$%&/()=?»", "*`ªÇ^;:_>"),
        "letters": ("qwertyuiop", "asdfghjkl", "zxcvbnm"),
        "alternatives": _with(LATIN, e="€éèêë", **{
            "2": "@", "3": "£", "7": "{", "8": "[", "9": "]", "0": "}", "+": "¨",
            "\"": "“”"}),
    },
    "nordic": {
        "tag": "SV",
        "symbols": ("§1234567890+´", "¨',.-<"),
        "shifted_symbols": ("½!\"#¤%&/()=?`", "^*;:_>"),
        "letters": ("qwertyuiopå", "asdfghjklöä", "zxcvbnm"),
        "alternatives": _with(LATIN, e="€éèêë", **{
            "2": "@", "3": "£", "4": "$", "7": "{", "8": "[", "9": "]", "0": "}",
            "+": "\\", "<": "|", "¨": "~", "\"": "”»«", "'": "’"}),
    },
    "ru": {
        "tag": "РУ",
        "letters_face": "АБВ",
        "symbols": ("ё1234567890-=", "\\.[]'<"),
        "shifted_symbols": ("Ё!\"№;%:?*()_+", "/,{}@>"),
        "letters": ("йцукенгшщзхъ", "фывапролджэ", "ячсмитьбю"),
        "alternatives": _with(TYPOGRAPHY, QUOTES, **{
            "е": "ё", "ь": "ъ", "ё": "`~", "3": "#", "4": "$€₽", "6": "^", "7": "&",
            "\\": "|", "\"": "«»„“", "0": "°µ"}),
        "alternate": "us",
    },
    "el": {
        "tag": "ΕΛ",
        "letters_face": "ΑΒΓ",
        "symbols": ("`1234567890-=", "[]\\;',./"),
        "shifted_symbols": ("~!@#$%^&*()_+", "{}|:\"<>?"),
        "letters": ("ςερτυθιοπ", "ασδφγηξκλ", "ζχψωβνμ"),
        "alternatives": _with(TYPOGRAPHY, QUOTES, **{
            "α": "ά", "ε": "έ€", "η": "ή", "ι": "ίϊΐ", "ο": "ό", "υ": "ύϋΰ", "ω": "ώ",
            "\"": "«»", ";": "·", "0": "°µ"}),
        "alternate": "us",
    },
    "pinyin": {
        "tag": "拼",
        "letters_face": "拼",
        "symbols": ("`1234567890-=", "，。？！、：；“”"),
        "shifted_symbols": ("~!@#$%^&*()_+", "《》（）【】…—·"),
        "letters": ("qwertyuiop", "asdfghjkl'", "zxcvbnm"),  # ' separates syllables
        # The Latin punctuation, held on the Chinese.
        "alternatives": _with(TYPOGRAPHY, **{
            "，": ",<", "。": ".>", "？": "?/", "：": ":", "；": ";", "“": "\"‘", "”": "'’",
            "、": "\\|", "【": "[{", "】": "]}", "4": "¥€", "0": "°µ"}),
        "alternate": "us",
        "engine": "pinyin",
    },
}
LAYOUTS.update(east_asian_layouts.LAYOUTS)

# The layout each language (or language_REGION) types with when the application names none;
# any other language types on the US layout. Traditional Chinese (zh_Hant: Taiwan, Hong Kong,
# Macau, or the script named) types zhuyin.
LANGUAGE_LAYOUTS = {"en_GB": "uk", "de": "de", "fr": "fr", "es": "es", "it": "it", "pt": "pt",
                    "ru": "ru", "sv": "nordic", "fi": "nordic", "el": "el", "zh": "pinyin",
                    "zh_Hant": "zhuyin", "ja": "romaji", "ko": "hangul"}

_chosen = None  # None: follow the language


def set_layout(name):
    """Choose the text keyboard's layout for every keypad opened from now on: one of
    LAYOUTS, or None to follow the language again.

    Anything but a str or None raises TypeError, an unknown name ValueError, a composing layout
    (pinyin, zhuyin, romaji, kana) without its engine RuntimeError; either way the setting
    stays as it was."""
    global _chosen
    text = settings.name_argument("set_layout", "name", name, none_allowed=True)
    found = settings.canonical(text, LAYOUTS)
    if text is not None and found is None:
        raise ValueError("no layout %r; layouts: %s" % (text, ", ".join(LAYOUTS)))
    engine = LAYOUTS[found].get("engine") if found is not None else None
    if engine and not composing.available(engine):
        raise RuntimeError(composing.ENGINES[engine]["missing"])
    _chosen = found


def get_layout():
    """The layout the text keyboard opens with: the one set, else the language's (the
    locale set with set_language() when there is one, else the application's)."""
    return _chosen or language_layout(captions.chosen_locale() or captions.application_locale())


def language_layout(locale):
    """The layout a captions.Locale (or None) types with."""
    if locale is None:
        return "us"
    keys = ("zh_Hant",) if captions.captions_for(locale) == "zh_TW" else (
        locale.language + "_" + locale.region, locale.language)
    for key in keys:
        if key in LANGUAGE_LAYOUTS:
            name = LANGUAGE_LAYOUTS[key]
            engine = LAYOUTS[name].get("engine")
            # Without the engine, the language types on the US keys rather than not at all.
            return "us" if engine and not composing.available(engine) else name
    return "us"


def layout(name):
    return LAYOUTS[name]
