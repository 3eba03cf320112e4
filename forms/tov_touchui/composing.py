"""Composing input on the text keyboard: keys typed on a composing layout (pinyin letters) are
turned into text by an engine, shown in a row with the engine's candidates, and committed to
the field through the keypad class's on_character.

One machinery serves every engine:
    Composer        one keyboard's composition: the keys typed, the page of candidates in view,
                    what commits and when; the keys the engine cannot hold at once wait here
                    and are converted piece by piece
    EngineProcess   the engine's process (engine_server.py): started on demand, given a
                    deadline for every reply, replaced when it dies or misses one; the
                    composition is then given to the new one again, call by call
    ENGINES         each engine as data: its binding, the keys it composes, its dictionary file

An engine is a backend class in engine_server.py (its interface is described there): search
keys, choose a candidate, reset, and the view (held keys, composition, candidates). An engine
never runs in the application's process, so none of its faults can end the application.

A new engine takes three things: its backend class in engine_server.BACKENDS, its entry here in
ENGINES (same name), and a layout in layouts.py whose "engine" names it.
"""
import atexit
import importlib.util
import json
import os
import queue
import subprocess
import sys
import threading
import time
import warnings

from .characters import without_last_character

PAGE = 6  # candidates in view at once

PINYIN_MISSING = (
    "Chinese (pinyin) input needs the tov_pinyin module, which is built only where the pinyin "
    "engine is installed: on Debian, apt-get install libgooglepinyin0-dev (scripts/setup.sh "
    "does it), then build tov_touch again (make build, or pip install).")

# Each engine: the binding its backend needs (never loaded in this process), the install hint
# where it is missing, the keys its layout composes, the one of them that only separates (outside
# a composition it is text), what other characters compose as, and its user dictionary's file in
# the user's data folder (None: it learns nothing).
ENGINES = {
    "pinyin": {
        "module": "tov_pinyin",
        "missing": PINYIN_MISSING,
        "keys": "abcdefghijklmnopqrstuvwxyz'",
        "separator": "'",                         # between syllables: xi'an
        "aliases": {"ü": "v"},                    # what a physical key composes as
        "dictionary": "pinyin.dict",
    },
}


def available(engine):
    """True where the engine's binding is installed (it is not loaded here)."""
    return importlib.util.find_spec(ENGINES[engine]["module"]) is not None


def composing_key(engine, char):
    """The key `char` composes as on `engine`'s layout, or None where it is text of its own."""
    char = ENGINES[engine]["aliases"].get(char, char)
    return char if len(char) == 1 and char in ENGINES[engine]["keys"] else None


def user_data_folder():
    """This module's folder among the user's data: $XDG_DATA_HOME (when absolute), else
    ~/.local/share; %APPDATA% on Windows."""
    if os.name == "nt":
        base = os.environ.get("APPDATA") or os.path.expanduser("~")
    else:
        base = os.environ.get("XDG_DATA_HOME", "")
        if not os.path.isabs(base):
            base = os.path.join(os.path.expanduser("~"), ".local", "share")
    return os.path.join(base, "tov_touch")


# -- the engine's process ----------------------------------------------------------------------

class EngineGone(Exception):
    """The engine's process died, missed its deadline or could not start."""


def _read_lines(stream, lines):
    """The reader's thread: the process's replies, then b"" when it has ended."""
    with stream:
        for line in iter(stream.readline, b""):
            lines.put(line)
    lines.put(b"")


class EngineProcess(object):
    """One engine in its own process, shared by the keyboards of this process."""

    START_S = 3.0    # interpreter, binding and dictionaries (about 0.1 s): once a process
    REPLY_S = 1.0    # every request after: a hung engine holds the keyboard no longer
    REST_S = 30.0    # after FAILED_STARTS starts in a row that fail, no new one for this long
    FAILED_STARTS = 3

    def __init__(self, engine):
        self.engine = engine
        self.owner = None   # the token of the Composer whose composition the engine holds
        self.started = 0    # processes started, for the curious (tests, bench)
        self._child = None
        self._replies = None
        self._ready = False
        self._failed_starts = 0
        self._resting_until = 0.0

    def start(self):
        """Starts the process, if none runs, without waiting for it."""
        if self._child is not None:
            return
        if time.monotonic() < self._resting_until:
            raise EngineGone("the %s engine failed to start: resting" % self.engine)
        server = os.path.join(os.path.dirname(os.path.abspath(__file__)), "engine_server.py")
        name = ENGINES[self.engine]["dictionary"]  # None: the engine learns nothing
        dictionary = os.path.join(user_data_folder(), name) if name else ""
        path = [os.path.abspath(entry or os.curdir) for entry in sys.path]
        environment = dict(os.environ, PYTHONPATH=os.pathsep.join(path))
        try:
            self._child = subprocess.Popen(
                [sys.executable, "-S", server, self.engine, dictionary],
                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                env=environment)
        except OSError as exc:
            self._start_failed()
            raise EngineGone(str(exc))
        self.started += 1
        self.owner = None
        self._ready = False
        self._replies = queue.Queue()
        reader = threading.Thread(target=_read_lines, args=(self._child.stdout, self._replies),
                                  name="tov_touchui %s engine" % self.engine)
        reader.daemon = True
        reader.start()

    def request(self, operation, argument=None, start=0, size=PAGE):
        """The engine's view after `operation` (see engine_server.py). Raises EngineGone, the
        process being gone then, or ValueError for a request the engine refused."""
        self.start()
        if not self._ready:
            hello = self._read(self.START_S)
            self._ready = True
            self._failed_starts = 0
            for text in hello.get("warnings", []):
                warnings.warn(text, RuntimeWarning, stacklevel=2)
        line = json.dumps([operation, argument, start, size], ensure_ascii=False)
        try:
            self._child.stdin.write(line.encode("utf-8") + b"\n")
            self._child.stdin.flush()
        except (OSError, ValueError):
            self._lose()
        reply = self._read(self.REPLY_S)
        if "error" in reply:
            raise ValueError(reply["error"])
        return reply

    def _read(self, seconds):
        try:
            line = self._replies.get(timeout=seconds)
            if line:
                return json.loads(line.decode("utf-8"))
        except (queue.Empty, ValueError):
            pass
        self._lose()

    def _lose(self):
        if not self._ready:
            self._start_failed()
        self.kill()
        raise EngineGone("the %s engine's process ended" % self.engine)

    def _start_failed(self):
        self._failed_starts += 1
        if self._failed_starts >= self.FAILED_STARTS:
            self._failed_starts = 0
            self._resting_until = time.monotonic() + self.REST_S

    def kill(self):
        child, self._child, self.owner = self._child, None, None
        if child is not None:
            child.kill()
            child.wait()
            try:
                child.stdin.close()
            except OSError:
                pass

    def close(self):
        """Ends the process, letting it save what it learnt first."""
        child = self._child
        if child is None:
            return
        try:
            child.stdin.write(b'["quit", null, 0, 0]\n')
            child.stdin.close()
            child.wait(timeout=self.REPLY_S * 2)
        except (OSError, ValueError, subprocess.TimeoutExpired):
            pass
        self.kill()


_processes = {}


def process(engine):
    """The process of `engine`, one for every keyboard of this process."""
    if engine not in _processes:
        _processes[engine] = EngineProcess(engine)
    return _processes[engine]


@atexit.register
def _close_processes():
    for each in _processes.values():
        each.close()


# -- one keyboard's composition ----------------------------------------------------------------

class Composer(object):
    """The composition of one keyboard: the keys typed, the page of candidates in view.

    `show(composition, candidates, has_previous, has_next)` is the keyboard's: it draws the
    row. `commit(text)` types text into the field.

    The engine holds the first keys (the view's "keys"); the rest wait here, shown after the
    engine's composition, and go to the engine as what it holds is committed. Where the engine
    fails, its process is replaced and given the composition again; a choice it failed on is
    not made, and a composition it cannot take goes on without it, shown and committed as
    typed.
    """

    def __init__(self, engine, show, commit):
        self.engine = engine
        self._show, self._commit = show, commit
        self._process = process(engine)
        self.keys = ""
        self.page = 0
        self._view = None       # the engine's last reply; None while it has none
        self._log = []          # the engine's calls for this composition, to replay
        self._offline = False   # the engine failed on this composition
        self._token = object()  # the engine's owner, without keeping this keyboard alive
        try:
            self._process.start()  # the process warms up while the keyboard opens
        except EngineGone:
            pass

    def composing(self):
        return bool(self.keys)

    def takes(self, key):
        """Does `key` (one of the engine's keys) compose now? The separator only does inside
        a composition."""
        return key != ENGINES[self.engine].get("separator") or self.composing()

    def _held(self):
        return len(self._view["keys"]) if self._view else 0

    # -- typing --------------------------------------------------------------------------------

    def type(self, key):
        self.keys += key
        self._search()

    def backspace(self):
        """Drops the composition's last key; False when there is no composition."""
        if not self.keys:
            return False
        self.keys = without_last_character(self.keys)
        self._search()
        return True

    def choose(self, index_in_page):
        """Takes a candidate in view: the text is typed once the whole composition is
        chosen; a candidate for the first syllables only is kept, and the rest offered."""
        self._choose(self.page * PAGE + index_in_page)
        self.refresh()

    def take_first(self):
        """Space: the first candidate in view, or the keys as typed where there is none."""
        if self._view and self._view["candidates"]:
            self.choose(0)
        else:
            self.commit_typed()

    def turn(self, pages):
        count = self._view["count"] if self.keys and self._view else 0
        page = max(0, min(max(0, (count - 1) // PAGE), self.page + pages))
        if page != self.page:
            self.page, was = page, self.page
            view = self._ask("page")
            if view is None:
                self.page = was
            else:
                self._view = view
        self.refresh()

    def commit_first(self):
        """Commits the whole composition as the engine converts it (its first candidate),
        piece by piece while keys wait; what it cannot convert goes as typed."""
        for _ in range(len(self.keys) + 1):
            if not (self.keys and self._view and self._view["count"]):
                break
            if not self._choose(0):
                break
        self.commit_typed()

    def commit_typed(self):
        """Commits the composition as typed (its partial choices as chosen)."""
        text = (self._view["typed"] if self._view else "") + self.keys[self._held():]
        self.clear()
        if text:
            self._commit(text)

    def clear(self):
        self.keys = ""
        self._search()

    # -- the engine ----------------------------------------------------------------------------

    def _search(self):
        self.page = 0
        if not self.keys:
            self._log, self._offline = [], False
            if self._view is not None:
                self._view = None
                self._ask("reset")
        else:
            if self._log and self._log[-1][0] == "search":
                self._log.pop()  # the latest search stands for those before it
            self._view = self._ask("search", self.keys)
            self._offline = self._view is None
        self.refresh()

    def _choose(self, index):
        """Chooses candidate `index`; True when it committed text."""
        if not self.keys or not self._view or index >= self._view["count"]:
            return False
        in_view = index - self.page * PAGE
        candidates = self._view["candidates"]
        text = candidates[in_view] if 0 <= in_view < len(candidates) else None
        self.page = 0
        waiting = self.keys[self._held():]
        view = self._ask("choose", index, text)
        if view is None:
            return False  # the choice is not made; the composition stays as it was
        self._view = view
        if view["committed"] is None:
            return False
        self._commit(view["committed"])
        self._log = []
        self.keys = view["keys"] + waiting
        if self.keys:
            self._search()
        return True

    def _ask(self, operation, argument=None, text=None):
        """The engine's view after the operation, logged for a replay; None where the
        engine failed on it."""
        if self._offline:
            return None
        for attempt in range(2):
            try:
                if self._process.owner is not self._token:
                    self._replay()
                view = self._process.request(operation, argument, self.page * PAGE, PAGE)
                break
            except (EngineGone, ValueError):
                # The next request starts a new process and replays the composition.
                self._process.kill()
                if operation != "search" or attempt:
                    return None
                self._log = []  # the keys once more, without the choices that led here
        if operation in ("search", "choose"):
            self._log.append((operation, argument, text))
        return view

    def _replay(self):
        """Brings the engine to this composition: its calls, made again from a reset."""
        self._process.owner = None
        self._process.request("reset", None, 0, 0)
        for operation, argument, text in self._log:
            if text is not None and [text] != self._process.request(
                    "page", None, argument, 1)["candidates"]:
                raise ValueError("%r is no longer candidate %d" % (text, argument))
            self._process.request(operation, argument, 0, 0)
        self._process.owner = self._token

    def refresh(self):
        if not self.keys:
            self._show("", [], False, False)
            return
        view = self._view or {"composition": "", "candidates": [], "count": 0}
        waiting = self.keys[self._held():]
        composition = " ".join(part for part in (view["composition"], waiting) if part)
        start = self.page * PAGE
        self._show(composition, view["candidates"], self.page > 0, start + PAGE < view["count"])
