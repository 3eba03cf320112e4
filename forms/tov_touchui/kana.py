"""The kana the Japanese keys typed, for the Japanese backends of the engine process
(anthy.py), in plain Python: romaji as Japanese input methods read it (Hepburn and Kunrei
spellings both: "nihon" にほん, "kitte" きって, "nn" ん, "-" ー), and the keys of the kana
layout, whose ゛ ゜ and 小 change the kana before them (か ゛: が, つ 小: っ)."""

_ROWS = {  # consonant: the kana of a, i, u, e, o ("" where the row has none)
    "": "あいうえお", "k": "かきくけこ", "g": "がぎぐげご", "s": "さしすせそ", "z": "ざじずぜぞ",
    "t": "たちつてと", "d": "だぢづでど", "n": "なにぬねの", "h": "はひふへほ", "b": "ばびぶべぼ",
    "p": "ぱぴぷぺぽ", "m": "まみむめも", "y": "や\0ゆ\0よ", "r": "らりるれろ", "w": "わ\0\0\0を",
    "x": "ぁぃぅぇぉ", "l": "ぁぃぅぇぉ", "c": "か\0く\0こ",
}
# Consonants before a vowel that make a kana and a small one: the kana, then the small kana of
# a, i, u, e, o ("\0" where there is none).
_SMALL = "ゃぃゅぇょ"
_GLIDES = {
    "ky": "き", "gy": "ぎ", "sy": "し", "zy": "じ", "jy": "じ", "ty": "ち", "cy": "ち", "dy": "ぢ",
    "ny": "に", "hy": "ひ", "by": "び", "py": "ぴ", "my": "み", "ry": "り", "th": "て", "dh": "で",
    "sh": ("し", "ゃ\0ゅぇょ"), "ch": ("ち", "ゃ\0ゅぇょ"), "j": ("じ", "ゃ\0ゅぇょ"),
    "f": ("ふ", "ぁぃ\0ぇぉ"), "v": ("ゔ", "ぁぃ\0ぇぉ"), "ts": ("つ", "ぁぃ\0ぇぉ"),
}
TABLE = {"shi": "し", "chi": "ち", "tsu": "つ", "fu": "ふ", "ji": "じ", "vu": "ゔ", "wi": "うぃ",
         "we": "うぇ", "nn": "ん", "xtu": "っ", "ltu": "っ", "xtsu": "っ", "xya": "ゃ",
         "xyu": "ゅ", "xyo": "ょ", "lya": "ゃ", "lyu": "ゅ", "lyo": "ょ", "xwa": "ゎ", "-": "ー"}
for _consonant, _kana in _ROWS.items():
    for _vowel, _one in zip("aiueo", _kana):
        if _one != "\0":
            TABLE.setdefault(_consonant + _vowel, _one)
for _pair, _glide in _GLIDES.items():
    _kana, _smalls = _glide if isinstance(_glide, tuple) else (_glide, _SMALL)
    for _vowel, _small in zip("aiueo", _smalls):
        if _small != "\0":
            TABLE.setdefault(_pair + _vowel, _kana + _small)
ROMAJI_KEYS = "abcdefghijklmnopqrstuvwxyz-"
PREFIXES = {key[:n] for key in TABLE for n in range(1, len(key))}
LONGEST = max(len(key) for key in TABLE)
DOUBLING = set("bcdfghjkmpqrstvwxyz")  # a doubled one of these is っ


def from_romaji(keys):
    """The kana of romaji `keys`: a list of (kana, index of the key after it), and the keys at the end
    that are not yet kana (a syllable half typed)."""
    kana, i = [], 0
    while i < len(keys):
        for length in range(min(LONGEST, len(keys) - i), 0, -1):
            if keys[i:i + length] in TABLE:
                i += length
                kana.append((TABLE[keys[i - length:i]], i))
                break
        else:
            rest, next_key = keys[i:], keys[i + 1:i + 2]
            if rest in PREFIXES:
                return kana, rest
            if keys[i] == "n" and next_key not in ("", "y"):
                kana.append(("ん", i + 1))
            elif keys[i] in DOUBLING and next_key == keys[i]:
                kana.append(("っ", i + 1))
            else:
                kana.append((keys[i], i + 1))  # no kana: the letter itself
            i += 1
    return kana, ""


# The kana keys: the gojūon, and what ゛ ゜ 小 make of the kana before them.
KANA = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをんー"
MARKS = {"゛": dict(zip("かきくけこさしすせそたちつてとはひふへほう", "がぎぐげござじずぜぞだぢづでどばびぶべぼゔ")),
         "゜": dict(zip("はひふへほ", "ぱぴぷぺぽ")),
         "小": dict(zip("あいうえおつやゆよわ", "ぁぃぅぇぉっゃゅょゎ"))}
KANA_KEYS = KANA + "".join(MARKS)


def from_kana_keys(keys):
    """The kana of kana-layout `keys`, in the form of from_romaji's (nothing is ever half
    typed): a mark after a kana it cannot change stays itself."""
    kana = []
    for index, key in enumerate(keys, 1):
        changed = MARKS.get(key, {}).get(kana[-1][0]) if kana else None
        if changed:
            kana[-1] = (changed, index)
        else:
            kana.append((key, index))
    return kana, ""


def katakana(text):
    return "".join(chr(ord(c) + 0x60) if "ぁ" <= c <= "ゖ" else c for c in text)
