"""Chinese input on the text keyboard: letters go to the pinyin engine (tov_pinyin), a row
shows the composition and the engine's candidates, and a touched candidate is typed like any
key, through the keypad class's on_character."""
from .characters import without_last_character

ENGINE_MISSING = (
    "Chinese (pinyin) input needs the tov_pinyin module, which is built only where the pinyin "
    "engine is installed: on Debian, apt-get install libgooglepinyin0-dev (scripts/setup.sh "
    "does it), then build tov_touch again (make build, or pip install).")

PAGE = 6  # candidates in view at once

_engine = None  # the engine keeps its state in the process: one for every keyboard


def available():
    try:
        import tov_pinyin  # noqa: F401
    except ImportError:
        return False
    return True


def engine():
    """The process's pinyin engine, opened on first use."""
    global _engine
    if _engine is None or _engine.closed:
        try:
            import tov_pinyin
        except ImportError as exc:
            raise RuntimeError(ENGINE_MISSING) from exc
        _engine = tov_pinyin.Engine()
    return _engine


class Composer(object):
    """The composition of one keyboard: the letters typed, the page of candidates in view.

    `show(composition, candidates, has_previous, has_next)` is the keyboard's: it draws the
    row. `commit(text)` types text into the field.
    """

    def __init__(self, show, commit):
        self._show, self._commit = show, commit
        self.letters = ""
        self.page = 0
        self._engine = engine()
        self._engine.reset()

    def composing(self):
        return bool(self.letters)

    def type(self, letter):
        self.letters += letter
        self._search()

    def backspace(self):
        """Drops the composition's last letter; False when there is no composition."""
        if not self.letters:
            return False
        self.letters = without_last_character(self.letters)
        self._search()
        return True

    def choose(self, index_in_page):
        """Takes a candidate in view: the text is typed once the whole composition is
        chosen; a candidate for the first syllables only is kept, and the rest offered."""
        index = self.page * PAGE + index_in_page
        if not self.letters or index >= self._engine.count:
            return
        text = self._engine.choose(index)
        if text is not None:
            self._commit(text)
            self.letters = self._engine.letters
        self.page = 0
        self.refresh()

    def turn(self, pages):
        last = max(0, (self._engine.count - 1) // PAGE) if self.letters else 0
        self.page = max(0, min(last, self.page + pages))
        self.refresh()

    def clear(self):
        self.letters = ""
        self._engine.reset()
        self.page = 0
        self.refresh()

    def _search(self):
        if self.letters:
            self._engine.search(self.letters)
            self.letters = self._engine.letters  # what the engine kept of them
        else:
            self._engine.reset()
        self.page = 0
        self.refresh()

    def refresh(self):
        if not self.letters:
            self._show("", [], False, False)
            return
        start = self.page * PAGE
        self._show(self._engine.composition, self._engine.candidates(start, PAGE),
                   self.page > 0, start + PAGE < self._engine.count)
