"""Chinese (pinyin) input: the pinyin engine of libgooglepinyin.

Optional: built with tov_touch only where the engine is installed. Elsewhere `import tov_pinyin`
raises ImportError, and the text to show for it is:

    Chinese (pinyin) input needs the tov_pinyin module, which is built only where the pinyin
    engine is installed: on Debian, apt-get install libgooglepinyin0-dev (scripts/setup.sh does
    it), then build tov_touch again (make build, or pip install).

The engine keeps its state in the process and is not thread-safe: one Engine may be open at a
time, called from one thread. A composition holds at most 39 letters and 9 syllables.
"""

from types import TracebackType
from typing import List, Optional, Type, final

from _typeshed import StrOrBytesPath

# The engine's system dictionary, found when the module was built.
SYSTEM_DICTIONARY: str

@final
class Engine:
    """The pinyin engine, one per process.

    What it learns from the user's choices goes to a user dictionary: kept for the engine's life
    only, or, when `user_dictionary` names a file, loaded from it and written back at close().
    """

    def __new__(cls, user_dictionary: Optional[StrOrBytesPath] = None) -> Engine: ...
    @property
    def letters(self) -> str: ...
    @property
    def composition(self) -> str: ...
    @property
    def fixed(self) -> str: ...
    @property
    def remaining(self) -> str: ...
    @property
    def count(self) -> int: ...
    @property
    def closed(self) -> bool: ...
    def search(self, letters: str, /) -> int: ...
    def candidates(self, start: int = 0, count: Optional[int] = None) -> List[str]: ...
    def choose(self, index: int, /) -> Optional[str]: ...
    def reset(self) -> None: ...
    def flush(self) -> None: ...
    def close(self) -> None: ...
    def __enter__(self) -> Engine: ...
    def __exit__(
        self,
        exc_type: Optional[Type[BaseException]],
        exc_value: Optional[BaseException],
        traceback: Optional[TracebackType],
    ) -> None: ...
