"""Zhuyin (注音) through libchewing: a backend of the engine process (see engine_server.py).

libchewing is reached through ctypes, in the engine's process only: no binding to build, so the
engine is there wherever the library is (Debian: libchewing3), and a wrong call or a fault of
the library ends that process, never the application. Its keys are those of the standard (大千)
keyboard, which the zhuyin symbols and tones are mapped back to.

libchewing converts as the keys come (its phrase-by-phrase choice, trained by its own user
dictionary, an SQLite file): candidate 0 is that conversion, whole; the others are the
alternatives for its last phrase, longest first, each committing the sentence with it.
"""
import ctypes
import ctypes.util

# Each zhuyin symbol and tone (ˉ: the first, the space bar's) on the keys of the standard
# keyboard.
KEYBOARD = dict(zip("ㄅㄆㄇㄈㄉㄊㄋㄌㄍㄎㄏㄐㄑㄒㄓㄔㄕㄖㄗㄘㄙㄧㄨㄩㄚㄛㄜㄝㄞㄟㄠㄡㄢㄣㄤㄥㄦˉˊˇˋ˙",
                    "1qaz2wsxedcrfv5tgbyhnujm8ik,9ol.0p;/- 6347"))
TONES = "ˉˊˇˋ˙"
SQLITE = b"SQLite format 3\x00"

_TEXT_FUNCTIONS = ("chewing_buffer_String_static", "chewing_bopomofo_String_static",
                   "chewing_commit_String_static", "chewing_cand_string_by_index_static")


def _library():
    lib = ctypes.CDLL(ctypes.util.find_library("chewing") or "libchewing.so.3")
    lib.chewing_new2.restype = ctypes.c_void_p
    lib.chewing_new2.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_void_p,
                                 ctypes.c_void_p]
    for name in _TEXT_FUNCTIONS:
        getattr(lib, name).restype = ctypes.c_char_p
    return lib


class ChewingBackend(object):
    CHARACTERS = 20  # what the engine holds at once; the keys after wait for the next piece

    @classmethod
    def valid_dictionary(cls, data):
        return data.startswith(SQLITE)

    def __init__(self, user_dictionary):
        self._lib = _library()
        path = user_dictionary.working.encode() if user_dictionary else None
        context = self._lib.chewing_new2(None, path, None, None)
        if not context:
            raise RuntimeError("libchewing did not open its dictionaries")
        self._context = ctypes.c_void_p(context)
        self._call("set_maxChiSymbolLen", 39)
        self._call("set_phraseChoiceRearward", 1)  # candidates for the phrase before the cursor
        self._held = ""
        self._alternatives = []  # (list, index in it, text) for the last phrase

    def _call(self, name, *arguments):
        return getattr(self._lib, "chewing_" + name)(self._context, *arguments)

    def _text(self, name, *arguments):
        return (self._call(name + "_static", *arguments) or b"").decode("utf-8", "replace")

    def search(self, keys):
        if any(key not in KEYBOARD for key in keys):
            raise ValueError("not a zhuyin key: %r" % keys)
        self.reset()
        for key in keys:
            if self._call("buffer_Len") >= self.CHARACTERS:
                break
            if key == TONES[0]:
                self._call("handle_Space")
            else:
                self._call("handle_Default", ord(KEYBOARD[key]))
            self._held += key
        self._alternatives = list(self._phrases())

    def _phrases(self):
        """The alternatives for the last phrase, in libchewing's lists (longest first), each
        once and none that would leave the sentence as it is."""
        sentence = self.sentence
        if not sentence or self._call("cand_open") != 0:
            return
        try:
            seen, lists = {sentence}, 0
            while True:
                for index in range(self._call("cand_TotalChoice")):
                    phrase = self._text("cand_string_by_index", index)
                    whole = sentence[:len(sentence) - len(phrase)] + phrase
                    if phrase and whole not in seen:
                        seen.add(whole)
                        yield lists, index, phrase
                if not self._call("cand_list_has_next"):
                    break
                self._call("cand_list_next")
                lists += 1
        finally:
            self._call("cand_close")

    def choose(self, index):
        if not 0 <= index < self.count:
            raise IndexError("no candidate %r" % (index,))
        if index:
            lists, in_list, _ = self._alternatives[index - 1]
            self._call("cand_open")
            for _ in range(lists):
                self._call("cand_list_next")
            self._call("cand_choose_by_index", in_list)
            self._call("cand_close")
        pending = self._pending_keys()
        self._call("commit_preedit_buf")
        committed = self._text("commit_String")
        self.reset()
        self._held = pending  # the keyboard searches them again
        return committed

    def _pending_keys(self):
        """The keys of the syllable still without its tone."""
        if not self._call("bopomofo_Check"):
            return ""
        ends = [i for i, key in enumerate(self._held) if key in TONES]
        return self._held[ends[-1] + 1:] if ends else self._held

    def reset(self):
        self._call("Reset")
        self._held, self._alternatives = "", []

    @property
    def sentence(self):
        return self._text("buffer_String")

    @property
    def keys(self):
        return self._held

    @property
    def composition(self):
        return self.sentence + self._text("bopomofo_String")

    @property
    def typed(self):
        return self._held

    @property
    def count(self):
        return len(self._alternatives) + 1 if self.sentence else 0

    def candidates(self, start, size):
        texts = ([self.sentence] if self.sentence else []) + [
            phrase for _, _, phrase in self._alternatives]
        return texts[max(start, 0):max(start, 0) + max(size, 0)]

    def save(self):
        pass  # libchewing writes what it learns into its SQLite file as it goes
