"""The process a composing engine runs in, away from the application: an engine that aborts or
corrupts its memory takes only this process down, and the keyboard starts another.

    python3 -S engine_server.py ENGINE [USER_DICTIONARY]

Run by file name, so it imports nothing of the forms (nor wx): only the standard library and the
engine's binding, found on PYTHONPATH. It answers requests on stdin with replies on stdout, one
JSON line each (UTF-8). The first line it writes is {"ready": true, "warnings": [...]} once the
engine is open. A request is a list [operation, argument, start, size]:

    ["search", keys, start, size]   compose `keys` (the backend takes as many as it can)
    ["choose", index, start, size]  choose candidate `index`
    ["page", null, start, size]     only the view, with the candidates from `start`
    ["reset", null, start, size]    drop the composition
    ["quit", null, 0, 0]            save and end

Each reply is the view after the operation: {"committed": text or null, "keys": the first of
the keys, those the engine holds, "composition": what to show, "typed": what committing the
composition as typed gives, "count": candidates in all, "candidates": those of [start, start +
size)}, or {"error": text} for a refused request (the state is unchanged).

A backend is a class in BACKENDS with this interface (all texts are str):

    Backend(user_dictionary)   open the engine; user_dictionary: a UserDictionary or None
    valid_dictionary(data)     class method: is `data` (bytes) a user dictionary of its own
    search(keys)               compose keys, as many of the first ones as it can hold (the
                               keyboard keeps the rest and sends them again once these are
                               committed)
    choose(index) -> str|None  the text to commit when the choice ends the composition, or
                               its first piece (the engine then holds what is left of it)
    reset()                    drop the composition
    keys, composition, typed   properties: what the engine holds, what to show, what
                               committing it unconverted gives
    count, candidates(start, size)
    save()                     write what the engine learnt into its user dictionary's working
                               file (between compositions)
"""
import json
import os
import queue
import sys
import tempfile
import threading
import time


class UserDictionary(object):
    """A user dictionary kept so that a crash or power loss never leaves it unreadable: the
    engine works on a private copy, and each save replaces the file in one rename, written
    by a thread of its own so that no key press waits for the disk."""

    WRITING = ".tov_touch-"  # the names of the files being written beside it
    STALE_S = 60             # a file being written that is older was left by a crash

    def __init__(self, path, valid):
        self.path = path
        self.warnings = []
        folder = os.path.dirname(path)
        os.makedirs(folder, exist_ok=True)
        for name in os.listdir(folder):
            left = os.path.join(folder, name)
            try:
                if name.startswith(self.WRITING) and \
                        time.time() - os.path.getmtime(left) > self.STALE_S:
                    os.unlink(left)
            except OSError:
                pass  # gone already, or another's
        self.original = b""
        if os.path.exists(path):
            with open(path, "rb") as file:
                self.original = file.read()
            if self.original and not valid(self.original):
                self.set_aside()
        handle, self.working = tempfile.mkstemp(prefix="tov_touch-", suffix=".dict")
        with os.fdopen(handle, "wb") as file:
            file.write(self.original)
        self._writer = None
        self._to_write = queue.Queue()

    def set_aside(self):
        """Moves a damaged dictionary out of the way (kept for whoever wants to look at it)."""
        aside = "%s.damaged-%s" % (self.path, time.strftime("%Y%m%d-%H%M%S"))
        os.replace(self.path, aside)
        self.warnings.append("the user dictionary %s was damaged: set aside as %s, a new one "
                             "is started" % (self.path, aside))
        self.original = b""

    def opened(self):
        """After the engine opened the working copy: an engine that found it damaged has
        rewritten it empty, so the file it came from goes aside."""
        with open(self.working, "rb") as file:
            now = file.read()
        if self.original and now != self.original:
            self.set_aside()
        self.original = now

    def commit(self):
        """Hands the working copy to the writer, when it changed: the engine goes on while the
        file is written and synced."""
        with open(self.working, "rb") as file:
            data = file.read()
        if data == self.original:
            return
        self.original = data
        if self._writer is None:
            self._writer = threading.Thread(target=self._write_each, name="user dictionary")
            self._writer.start()
        self._to_write.put(data)

    def _write_each(self):
        for data in iter(self._to_write.get, None):
            try:
                self._replace(data)
            except OSError:
                pass  # the file stays as it was: the next save tries again

    def _replace(self, data):
        """A temporary file beside the dictionary, synced, then renamed over it, then the
        folder synced: the file is the old one or the new one, whenever the power goes."""
        handle, temporary = tempfile.mkstemp(prefix=self.WRITING, dir=os.path.dirname(self.path))
        try:
            with os.fdopen(handle, "wb") as file:
                file.write(data)
                file.flush()
                os.fsync(file.fileno())
            os.replace(temporary, self.path)
        except BaseException:
            os.unlink(temporary)
            raise
        if hasattr(os, "O_DIRECTORY"):
            folder = os.open(os.path.dirname(self.path), os.O_RDONLY | os.O_DIRECTORY)
            try:
                os.fsync(folder)
            finally:
                os.close(folder)

    def close(self):
        """Waits for the writer, then drops the working copy."""
        if self._writer is not None:
            self._to_write.put(None)
            self._writer.join()
        os.unlink(self.working)


class PinyinBackend(object):
    """Pinyin through libgooglepinyin (tov_pinyin)."""

    LETTER_LIMIT = 39  # what tov_pinyin holds at most; a cut there may split a syllable
    OVERLAP = 2        # syllables of a piece that wait for the next one, at least
    WORDS = 60         # the word candidates looked through for the sentence's next word
    DICTIONARY_VERSION = b"\xf0\xde\xbc\x0a"  # the first four bytes of every user dictionary

    @classmethod
    def valid_dictionary(cls, data):
        return data.startswith(cls.DICTIONARY_VERSION)

    def __init__(self, user_dictionary):
        import tov_pinyin
        self._engine = tov_pinyin.Engine(user_dictionary.working if user_dictionary else None)
        self._waiting = False

    def search(self, keys):
        engine = self._engine
        engine.search(keys)
        held = len(engine.letters)
        self._waiting = held < len(keys)  # keys past the engine's room wait
        if self._waiting and held >= self.LETTER_LIMIT and not engine.fixed:
            # Cut inside a syllable, perhaps: hold whole syllables only, the last goes back.
            ends = self._syllable_ends()
            if len(ends) > 1:
                engine.search(keys[:ends[-2]])

    def choose(self, index):
        engine = self._engine
        if index == 0 and self._waiting and not engine.fixed:
            sentence, syllables = engine.candidates(0, 1)[0], len(self._syllable_ends())
            if len(sentence) == syllables:
                # Commits the sentence's first words, up to all but its last syllables, which
                # go on with the keys waiting: no word is cut at the edge of the engine's room.
                lead = self._choose_words(sentence, syllables - self.OVERLAP)
                if lead:
                    engine.search(engine.remaining.lstrip("'"))
                    return lead
        return engine.choose(index)

    def _choose_words(self, sentence, room):
        """Chooses the sentence's words one by one, as the engine's word candidates split it,
        while they fit in `room` characters; returns them."""
        engine, chosen = self._engine, ""
        while len(chosen) < room:
            rest = sentence[len(chosen):]
            words = [(len(word), index) for index, word in
                     enumerate(engine.candidates(1, self.WORDS), 1) if rest.startswith(word)]
            if not words or len(chosen) + max(words)[0] > room:
                break
            length, index = max(words)
            engine.choose(index)
            chosen += rest[:length]
        return chosen

    def _syllable_ends(self):
        """Where each syllable of the composition (with no partial choice) ends in the
        letters held: the composition shows them apart, without the separators."""
        held, ends, position = self._engine.letters.lower(), [], 0
        for word in self._engine.composition.split(" "):
            for letter in word:
                position = held.index(letter, position) + 1
            ends.append(position)
        return ends

    def reset(self):
        self._engine.reset()

    @property
    def keys(self):
        return self._engine.letters

    @property
    def composition(self):
        return self._engine.composition

    @property
    def typed(self):
        return self._engine.fixed + self._engine.remaining

    @property
    def count(self):
        return self._engine.count

    def candidates(self, start, size):
        return self._engine.candidates(start, size)

    def save(self):
        self._engine.flush()


BACKENDS = {"pinyin": PinyinBackend}


def serve(backend, user_dictionary, requests, replies):
    def reply(message):
        replies.write(json.dumps(message, ensure_ascii=False).encode("utf-8") + b"\n")
        replies.flush()

    reply({"ready": True, "warnings": user_dictionary.warnings if user_dictionary else []})
    for line in iter(requests.readline, b""):
        try:
            operation, argument, start, size = json.loads(line.decode("utf-8"))
            committed = None
            if operation == "search":
                backend.search(argument)
            elif operation == "choose":
                committed = backend.choose(argument)
            elif operation == "reset":
                backend.reset()
            elif operation == "quit":
                break
            elif operation != "page":
                raise ValueError("no operation %r" % (operation,))
            reply({"committed": committed, "keys": backend.keys,
                   "composition": backend.composition, "typed": backend.typed,
                   "count": backend.count, "candidates": backend.candidates(start, size)})
        except (ValueError, TypeError, IndexError) as exc:
            reply({"error": "%s: %s" % (type(exc).__name__, exc)})
            continue
        if committed is not None and user_dictionary is not None and not backend.keys:
            # After the reply, so that the press that committed is not kept waiting.
            backend.save()
            user_dictionary.commit()
    if user_dictionary is not None:
        backend.save()
        user_dictionary.commit()


def main(argv):
    # The replies keep the standard output to themselves: what an engine prints goes to the
    # standard error.
    replies = os.fdopen(os.dup(1), "wb")
    os.dup2(2, 1)
    backend_class = BACKENDS[argv[1]]
    user_dictionary = None
    if len(argv) > 2 and argv[2]:
        user_dictionary = UserDictionary(argv[2], backend_class.valid_dictionary)
    try:
        backend = backend_class(user_dictionary)
        if user_dictionary is not None:
            user_dictionary.opened()
        serve(backend, user_dictionary, sys.stdin.buffer, replies)
    finally:
        if user_dictionary is not None:
            user_dictionary.close()


if __name__ == "__main__":
    main(sys.argv)
