"""The layouts of Japanese, Korean and Traditional Chinese, as data: see layouts.py for
what each entry means. Their keys compose through an engine of composing.ENGINES; a layout's
"caps_letters", where it has them, are what its caps groups type instead of capitals."""

US_SYMBOLS = ("`1234567890-=", "[]\\;',./")
US_SHIFTED_SYMBOLS = ("~!@#$%^&*()_+", "{}|:\"<>?")

LAYOUTS = {
    # The 2-set (두벌식) keyboard: consonants left, vowels right, the doubled consonants and
    # ㅒ ㅖ on caps (and on a held key); US punctuation, as Korean keyboards have it.
    "hangul": {
        "tag": "한",
        "symbols": US_SYMBOLS,
        "shifted_symbols": US_SHIFTED_SYMBOLS,
        "letters": ("ㅂㅈㄷㄱㅅㅛㅕㅑㅐㅔ", "ㅁㄴㅇㄹㅎㅗㅓㅏㅣ", "ㅋㅌㅊㅍㅠㅜㅡ"),
        "caps_letters": ("ㅃㅉㄸㄲㅆㅛㅕㅑㅒㅖ", "ㅁㄴㅇㄹㅎㅗㅓㅏㅣ", "ㅋㅌㅊㅍㅠㅜㅡ"),
        "alternatives": {"ㅂ": "ㅃ", "ㅈ": "ㅉ", "ㄷ": "ㄸ", "ㄱ": "ㄲ", "ㅅ": "ㅆ", "ㅐ": "ㅒ",
                         "ㅔ": "ㅖ", "\\": "₩"},  # ₩ where Korean keyboards print it
        "alternate": "us",
        "engine": "hangul",
    },
    # Zhuyin in the order of the standard (大千) keyboard, column by column as on its keys;
    # the tones ˊ ˇ ˋ ˙ where its digits 6 3 4 7 are. Space gives a syllable its first tone.
    # Shift: digits and full-width punctuation.
    "zhuyin": {
        "tag": "注",
        "symbols": ("ㄅㄉˇˋㄓˊ˙ㄚㄞㄢㄦ", "，。？！、：；「」"),
        "shifted_symbols": ("1234567890-", "『』（）…—·《》"),
        "letters": ("ㄆㄊㄍㄐㄔㄗㄧㄛㄟㄣ", "ㄇㄋㄎㄑㄕㄘㄨㄜㄠㄤ", "ㄈㄌㄏㄒㄖㄙㄩㄝㄡㄥ"),
        "caps_letters": ("ㄆㄊㄍㄐㄔㄗㄧㄛㄟㄣ", "ㄇㄋㄎㄑㄕㄘㄨㄜㄠㄤ", "ㄈㄌㄏㄒㄖㄙㄩㄝㄡㄥ"),
        "alternate": "us",
        "engine": "zhuyin",
    },
    # Japanese: romaji on the Latin keys, composing kana (- is ー), converted by anthy; the
    # full-width punctuation on the symbol rows.
    "romaji": {
        "tag": "あ",
        "symbols": ("`1234567890-=", "、。「」・：；！？～"),
        "shifted_symbols": ("~!@#$%^&*()_+", "『』【】…（）＝＋※"),
        "letters": ("qwertyuiop", "asdfghjkl", "zxcvbnm"),
        "alternate": "us",
        "engine": "romaji",
    },
    # Japanese on kana keys, the gojūon table read across, a row a vowel (あ段 to お段, the
    # columns あ か さ た な は ま や ら わ); ゛ ゜ 小 change the kana before them. Shift: digits
    # and the full-width punctuation.
    "kana": {
        "tag": "かな",
        "symbols": ("あかさたなはまやらわ", "いきしちにひみ゛り゜"),
        "shifted_symbols": ("1234567890", "、。「」・！？（）…"),
        "letters": ("うくすつぬふむゆるを", "えけせてねへめ小れー", "おこそとのほもよろん"),
        "caps_letters": ("うくすつぬふむゆるを", "えけせてねへめ小れー", "おこそとのほもよろん"),
        "alternate": "us",
        "engine": "kana",
    },
}
