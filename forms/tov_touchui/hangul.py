"""Hangul on a 2-set (두벌식) keyboard: jamo composed into syllables as they are typed.

The composition is Unicode's own arithmetic (a syllable is U+AC00 + (initial * 21 + vowel) * 28
+ final) and a few tables of the jamo that combine, small enough to keep here, in plain Python
that cannot crash, rather than bind libhangul for it. It runs as a backend of the engine
process like every composing engine (see engine_server.py); it learns nothing.

Typing follows the Korean keyboards: a syllable stays open while the next jamo can still join
it; a vowel after a final consonant takes that consonant as its initial (한 + ㅏ → 하나); what
can no longer change is committed.
"""

INITIALS = "ㄱㄲㄴㄷㄸㄹㅁㅂㅃㅅㅆㅇㅈㅉㅊㅋㅌㅍㅎ"
VOWELS = "ㅏㅐㅑㅒㅓㅔㅕㅖㅗㅘㅙㅚㅛㅜㅝㅞㅟㅠㅡㅢㅣ"
FINALS = " ㄱㄲㄳㄴㄵㄶㄷㄹㄺㄻㄼㄽㄾㄿㅀㅁㅂㅄㅅㅆㅇㅈㅊㅋㅌㅍㅎ"  # index 0: no final
# Two keys that make one jamo.
COMPOUND_VOWELS = {"ㅗㅏ": "ㅘ", "ㅗㅐ": "ㅙ", "ㅗㅣ": "ㅚ", "ㅜㅓ": "ㅝ", "ㅜㅔ": "ㅞ", "ㅜㅣ": "ㅟ",
                   "ㅡㅣ": "ㅢ"}
COMPOUND_FINALS = {"ㄱㅅ": "ㄳ", "ㄴㅈ": "ㄵ", "ㄴㅎ": "ㄶ", "ㄹㄱ": "ㄺ", "ㄹㅁ": "ㄻ", "ㄹㅂ": "ㄼ",
                   "ㄹㅅ": "ㄽ", "ㄹㅌ": "ㄾ", "ㄹㅍ": "ㄿ", "ㄹㅎ": "ㅀ", "ㅂㅅ": "ㅄ"}
JAMO = INITIALS + "".join(v for v in VOWELS if v not in COMPOUND_VOWELS.values())


class Syllable(object):
    """One syllable being typed: the keys of its initial, vowel and final."""

    def __init__(self):
        self.initial, self.vowel, self.final = "", "", ""

    def keys(self):
        return self.initial + self.vowel + self.final

    def add(self, jamo):
        """Takes `jamo` into the syllable: True, or False where it starts the next one."""
        if jamo in INITIALS:
            if not self.keys():
                self.initial = jamo
            elif self.initial and self.vowel and jamo in FINALS and \
                    (not self.final or self.final + jamo in COMPOUND_FINALS):
                self.final += jamo
            elif self.initial and not self.vowel and self.initial + jamo in COMPOUND_FINALS:
                self.initial, self.final = "", self.initial + jamo  # ㄱ ㅅ: ㄳ, on its own
            else:
                return False
        elif not self.vowel and not self.final:
            self.vowel = jamo
        elif not self.final and len(self.vowel) == 1 and self.vowel + jamo in COMPOUND_VOWELS:
            self.vowel += jamo
        else:
            return False
        return True

    def text(self):
        vowel = COMPOUND_VOWELS.get(self.vowel, self.vowel)
        final = COMPOUND_FINALS.get(self.final, self.final)
        if not (self.initial and vowel):
            return self.initial or vowel or final
        return chr(0xAC00 + (INITIALS.index(self.initial) * 21 + VOWELS.index(vowel)) * 28
                   + (FINALS.index(final) if final else 0))


def compose(keys):
    """The syllables of `keys` (jamo, as typed): the text of those no key can change any more,
    and the last, still open."""
    done, syllable = [], Syllable()
    for jamo in keys:
        if syllable.add(jamo):
            continue
        if jamo in VOWELS and syllable.final:
            # The final consonant (the last of two) opens the next syllable: 닭 + ㅏ → 달가.
            moved, syllable.final = syllable.final[-1], syllable.final[:-1]
            done.append(syllable.text())
            syllable = Syllable()
            syllable.initial = moved
        else:
            done.append(syllable.text())
            syllable = Syllable()
        syllable.add(jamo)
    return "".join(done), syllable


class HangulBackend(object):
    """The engine process's backend: the syllables done are committed as the keys are
    searched, the open one is held; there are no candidates."""

    @classmethod
    def valid_dictionary(cls, data):
        return False

    def __init__(self, user_dictionary):
        self._open = Syllable()

    def search(self, keys):
        if any(jamo not in JAMO for jamo in keys):
            raise ValueError("not a jamo of the keyboard: %r" % keys)
        done, self._open = compose(keys)
        return done or None

    def choose(self, index):
        raise IndexError("no candidate %r" % (index,))

    def reset(self):
        self._open = Syllable()

    @property
    def keys(self):
        return self._open.keys()

    @property
    def composition(self):
        return self._open.text()

    typed = composition

    count = 0

    def candidates(self, start, size):
        return []

    def save(self):
        pass
