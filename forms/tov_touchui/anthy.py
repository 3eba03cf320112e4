"""Japanese through anthy: backends of the engine process (see engine_server.py). The keys
(romaji, or those of the kana layout) become hiragana here (kana.py); anthy converts the
hiragana, split into its segments.

anthy is reached through ctypes in the engine's process only, as libchewing is (chewing.py):
nothing to build, and no fault of it reaches the application.

Candidates: the whole conversion (each segment's best), the hiragana, the katakana, then the
alternatives for the first segment; one of those commits that segment only, and the rest of
the composition is converted again.
"""
import ctypes
import ctypes.util

import kana as readings

UTF8 = 2  # ANTHY_UTF8_ENCODING


class _Stat(ctypes.Structure):
    _fields_ = [("segments", ctypes.c_int)]


class _SegmentStat(ctypes.Structure):
    _fields_ = [("candidates", ctypes.c_int), ("length", ctypes.c_int)]


class AnthyBackend(object):
    """Romaji."""

    KANA = 60  # what the engine holds at once; the keys after wait for the next piece
    KEYS = readings.ROMAJI_KEYS
    read = staticmethod(readings.from_romaji)

    @classmethod
    def valid_dictionary(cls, data):
        return False

    def __init__(self, user_dictionary):
        self._lib = ctypes.CDLL(ctypes.util.find_library("anthy") or "libanthy.so.1")
        self._lib.anthy_create_context.restype = ctypes.c_void_p
        if self._lib.anthy_init() != 0:
            raise RuntimeError("anthy did not open its dictionaries")
        self._context = ctypes.c_void_p(self._lib.anthy_create_context())
        self._lib.anthy_context_set_encoding(self._context, UTF8)
        self.reset()

    def search(self, keys):
        if any(key not in self.KEYS for key in keys):
            raise ValueError("not a key of the layout: %r" % keys)
        kana, self._pending = self.read(keys)
        if len(kana) > self.KANA:
            kana, self._pending = kana[:self.KANA], ""
        self._kana = kana
        self._held = keys[:kana[-1][1]] + self._pending if kana else self._pending
        self._choices = []
        reading = "".join(k for k, _ in kana) + ("ん" if self._pending == "n" else "")
        if reading:
            self._convert(reading)

    def _convert(self, reading):
        """The candidates for `reading` (see the module's docstring), each as (text, kana it
        covers); none twice."""
        lib, context = self._lib, self._context
        lib.anthy_set_string(context, reading.encode("utf-8"))
        stat = _Stat()
        lib.anthy_get_stat(context, ctypes.byref(stat))
        segments = []
        for index in range(stat.segments):
            segment = _SegmentStat()
            lib.anthy_get_segment_stat(context, index, ctypes.byref(segment))
            segments.append(segment)
        whole = len(reading)
        choices = [("".join(self._segment(i, 0) for i in range(len(segments))), whole),
                   (reading, whole), (readings.katakana(reading), whole)]
        if segments:
            first = segments[0].length
            choices += [(self._segment(0, n), first) for n in range(segments[0].candidates)]
        seen = set()
        self._choices = [c for c in choices if c[0] and not (c in seen or seen.add(c))]

    def _segment(self, index, candidate):
        buffer = ctypes.create_string_buffer(1024)
        if self._lib.anthy_get_segment(self._context, index, candidate, buffer, 1024) < 0:
            return ""
        return buffer.value.decode("utf-8", "replace")

    def choose(self, index):
        if not 0 <= index < self.count:
            raise IndexError("no candidate %r" % (index,))
        text, covered = self._choices[index]
        # The keys after the kana chosen stay: a choice of the whole (ん of a last "n" included)
        # leaves the keys of a syllable half typed, one of a segment the rest.
        if covered > len(self._kana):
            rest = ""
        elif covered == len(self._kana):
            rest = self._pending
        else:
            rest = self._held[self._kana[covered - 1][1]:]
        self.reset()
        self._held = rest  # the keyboard searches them again
        return text

    def reset(self):
        self._kana, self._pending, self._held, self._choices = [], "", "", []

    @property
    def keys(self):
        return self._held

    @property
    def composition(self):
        return "".join(k for k, _ in self._kana) + self._pending

    @property
    def typed(self):
        return self.composition

    @property
    def count(self):
        return len(self._choices)

    def candidates(self, start, size):
        return [text for text, _ in self._choices[max(start, 0):max(start, 0) + max(size, 0)]]

    def save(self):
        pass


class KanaBackend(AnthyBackend):
    """The kana layout's keys."""

    KEYS = readings.KANA_KEYS
    read = staticmethod(readings.from_kana_keys)
