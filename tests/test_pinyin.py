"""tov_pinyin, the binding of the pinyin engine: candidates, partial choices, paging, learning,
limits, refused input, calls after close, and a seeded fuzz run in a child process.

The engine is one per process, and libgooglepinyin frees memory with the wrong operator each time
it is opened again in a process (AddressSanitizer stops there), so this process opens it once
(the forms never open it here: they run it in a process of its own), and whatever opens, closes
or reopens one runs in a child.

    python3 tests/test_pinyin.py SEED CALLS     # the fuzz child, on its own
"""
import json
import os
import random
import subprocess
import sys
import tempfile
import textwrap
import threading
import time

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
BUILD = os.environ.get("TOUCH_BUILD") or os.path.join(ROOT, "build")

SEED = int(os.environ.get("FUZZ_SEED", "20261208"))
CALLS = int(os.environ.get("PINYIN_FUZZ_CALLS", "20000"))

tov_pinyin = pytest.importorskip(
    "tov_pinyin", reason="tov_pinyin is not built: the pinyin engine (Debian: "
    "libgooglepinyin0-dev) was not found when tov_touch was built")


@pytest.fixture(scope="module")
def shared():
    return tov_pinyin.Engine()


@pytest.fixture
def engine(shared):
    shared.reset()
    return shared


def child(code, allow_reopen=False, timeout=120, **env):
    """Runs `code` in a fresh interpreter; returns what it printed last, as JSON."""
    environment = dict(os.environ, **env)
    environment["PYTHONPATH"] = os.pathsep.join(
        [BUILD] + [p for p in [os.environ.get("PYTHONPATH")] if p])
    if allow_reopen and "ASAN_OPTIONS" in environment:
        environment["ASAN_OPTIONS"] += ":alloc_dealloc_mismatch=0"  # the library's, on reopen
    result = subprocess.run([sys.executable, "-c", textwrap.dedent(code)], env=environment,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            universal_newlines=True, timeout=timeout)
    assert result.returncode == 0, result.stderr[-3000:]
    return json.loads(result.stdout.strip().splitlines()[-1])


def index_of(engine, word):
    found = engine.candidates()
    return found.index(word) if word in found else None


# ---- what the engine gives ------------------------------------------------------------------

@pytest.mark.parametrize("letters, word", [
    ("nihao", "你好"), ("zhongguo", "中国"), ("ni'hao", "你好"), ("NiHao", "你好"),
    ("zg", "中国"), ("xi'an", "西安"), ("lv", "绿")])
def test_common_words_are_among_the_first_candidates(engine, letters, word):
    assert engine.search(letters) == engine.count > 5
    assert word in engine.candidates(0, 5)


@pytest.mark.parametrize("letters, shown", [
    ("nihao", "ni hao"), ("ni'hao", "ni hao"), ("zhongguo", "zhong guo"), ("xian", "xian"),
    ("nihaov", "ni hao v"), ("v", "v"), ("'", "'"), ("", "")])
def test_the_composition_shows_the_syllables(engine, letters, shown):
    engine.search(letters)
    assert (engine.letters, engine.composition, engine.fixed, engine.remaining) == (
        letters, shown, "", letters)


def test_a_partial_choice_is_fixed_and_the_rest_goes_on(engine):
    engine.search("nihao")
    assert engine.choose(engine.candidates().index("你")) is None
    assert (engine.fixed, engine.remaining, engine.composition) == ("你", "hao", "你hao")
    # Candidate 0 still covers everything; the engine does not list again the word that is the
    # rest of it (好).
    assert engine.candidates(0, 1) == ["你好"] and "好" not in engine.candidates()
    assert engine.choose(0) == "你好"
    assert (engine.letters, engine.composition, engine.count) == ("", "", 0)


def test_a_partial_choice_stays_while_its_letters_do(engine):
    engine.search("nihao")
    engine.choose(engine.candidates().index("你"))
    engine.search("nihaoma")
    assert (engine.fixed, engine.composition) == ("你", "你hao ma")
    engine.search("niha")
    assert (engine.fixed, engine.composition) == ("你", "你ha")
    engine.search("ni")  # nothing left after it: the choice is undone
    assert (engine.fixed, engine.composition) == ("", "ni")
    engine.search("nihao")
    engine.choose(engine.candidates().index("你"))
    engine.search("mihao")  # its letters changed
    assert engine.fixed == ""


def test_a_later_word_of_several_characters(engine):
    # After the first choice the engine is given single characters only; a longer word is
    # fixed by the binding, which restarts the engine on the letters after it.
    engine.search("woainimen")
    engine.choose(engine.candidates().index("我"))
    assert engine.choose(engine.candidates().index("爱你")) is None
    assert (engine.fixed, engine.remaining, engine.composition) == ("我爱你", "men", "我爱你men")
    assert engine.candidates(0, 1) == ["们"]
    assert engine.choose(0) == "我爱你们"


@pytest.mark.parametrize("letters, committed, left", [
    ("nihaov", "你好", "v"), ("nihaoi", "你好", "i"), ("zhongguo", "中国", "")])
def test_committing_keeps_the_letters_the_engine_could_not_read(engine, letters, committed, left):
    engine.search(letters)
    assert engine.choose(0) == committed
    assert (engine.letters, engine.composition) == (left, left)


def test_reset_drops_the_composition_and_its_choices(engine):
    engine.search("nihao")
    engine.choose(engine.candidates().index("你"))
    engine.reset()
    assert (engine.letters, engine.composition, engine.fixed, engine.count) == ("", "", "", 0)
    assert engine.candidates() == []
    engine.search("nihao")
    assert engine.fixed == ""


def test_paging(engine):
    total = engine.search("shi")
    assert total > 100
    pages = [engine.candidates(start, 10) for start in range(0, total, 10)]
    assert [len(page) for page in pages[:-1]] == [10] * (len(pages) - 1)
    assert sum(pages, []) == engine.candidates() == engine.candidates(0, None)
    assert engine.candidates(start=total - 1, count=5) == engine.candidates()[-1:]
    assert engine.candidates(total) == engine.candidates(total + 7, 3) == []
    assert engine.candidates(0, 0) == []


@pytest.mark.parametrize("arguments, error", [
    ((-1,), ValueError), ((0, -1), ValueError), (("1",), TypeError), ((0, 1.5), TypeError),
    ((2 ** 80,), OverflowError), ((0, 2 ** 80), OverflowError)])
def test_paging_refuses(engine, arguments, error):
    engine.search("shi")
    with pytest.raises(error):
        engine.candidates(*arguments)


# ---- learning ------------------------------------------------------------------------------

def compose_shi_yan(engine):
    """使 + 言 from "shiyan": neither is the engine's first guess."""
    engine.search("shiyan")
    assert engine.choose(engine.candidates().index("使")) is None
    assert engine.choose(engine.candidates().index("言")) == "使言"


def test_the_users_choices_raise_a_phrase(engine):
    engine.search("shiyan")
    assert index_of(engine, "使言") is None
    compose_shi_yan(engine)
    engine.search("shiyan")
    first = index_of(engine, "使言")
    assert first is not None  # learnt
    for _ in range(4):
        engine.search("shiyan")
        assert engine.choose(index_of(engine, "使言")) == "使言"
    engine.search("shiyan")
    assert index_of(engine, "使言") < first


def test_a_named_user_dictionary_keeps_what_was_learnt(tmp_path):
    path = str(tmp_path / "user.dict")
    code = """
        import json, tov_pinyin
        engine = tov_pinyin.Engine(%r)
        engine.search("shiyan")
        known = "使言" in engine.candidates()
        if %r:
            engine.choose(engine.candidates().index("使"))
            engine.choose(engine.candidates().index("言"))
        engine.close()
        print(json.dumps(known))
    """
    assert child(code % (path, True)) is False
    assert os.path.getsize(path) > 0
    assert child(code % (path, False)) is True


def test_the_temporary_user_dictionary_is_deleted_at_close(tmp_path):
    listed = child("""
        import json, os, tov_pinyin
        folder = os.environ["TMPDIR"]
        engine = tov_pinyin.Engine()
        during = os.listdir(folder)
        engine.close()
        print(json.dumps([during, os.listdir(folder)]))
    """, TMPDIR=str(tmp_path))
    assert len(listed[0]) == 1 and listed[0][0].startswith("tov_pinyin-")
    assert listed[1] == []


def test_a_user_dictionary_that_is_not_one_is_refused(tmp_path):
    outcome = child("""
        import json, os, tov_pinyin
        folder = %r
        text = os.path.join(folder, "notes.txt")
        with open(text, "w") as f:
            f.write("batch 7")
        results = {}
        for name, path in [("text", text), ("folder", folder),
                           ("missing folder", os.path.join(folder, "no", "user.dict"))]:
            try:
                tov_pinyin.Engine(path)
                results[name] = "opened"
            except Exception as e:
                results[name] = type(e).__name__
        results["text kept"] = open(text).read()
        empty = os.path.join(folder, "empty.dict")
        open(empty, "w").close()
        tov_pinyin.Engine(user_dictionary=empty).close()
        results["empty"] = open(empty, "rb").read(4).hex()
        print(json.dumps(results))
    """ % str(tmp_path))
    assert outcome == {"text": "ValueError", "folder": "IsADirectoryError",
                       "missing folder": "FileNotFoundError", "text kept": "batch 7",
                       "empty": "f0debc0a"}


# ---- refused input, limits, one engine -------------------------------------------------------

@pytest.mark.parametrize("letters, error", [
    ("ni hao", ValueError), ("ni1", ValueError), ("你好", ValueError), ("é", ValueError),
    ("a\x00", ValueError), ("nihao\n", ValueError), ("\udc80", ValueError),
    (b"nihao", TypeError), (None, TypeError), (5, TypeError)])
def test_what_is_not_pinyin_is_refused_and_changes_nothing(engine, letters, error):
    engine.search("nihao")
    engine.choose(engine.candidates().index("你"))
    with pytest.raises(error):
        engine.search(letters)
    assert (engine.letters, engine.composition) == ("nihao", "你hao")


@pytest.mark.parametrize("letters, kept", [
    ("z" * 40, "z" * 9), ("a" * 10 ** 6, "a" * 9), ("zhuang" * 10, ("zhuang" * 7)[:39]),
    ("zhonghuarenmingongheguo", "zhonghuarenmingongheguo")])
def test_letters_past_the_limits_are_dropped(engine, letters, kept):
    engine.search(letters)
    assert engine.letters == kept
    assert len(engine.composition.split()) <= 9


@pytest.mark.parametrize("index, error", [
    (-1, IndexError), (10 ** 6, IndexError), (2 ** 100, IndexError), ("0", TypeError),
    (1.0, TypeError), (None, TypeError)])
def test_choose_refuses(engine, index, error):
    engine.search("nihao")
    with pytest.raises(error):
        engine.choose(index)
    assert engine.composition == "ni hao"


def test_nothing_to_choose(engine):
    for letters in ["", "v", "'"]:
        engine.search(letters)
        with pytest.raises(IndexError):
            engine.choose(0)


def test_one_engine_per_process(shared):
    with pytest.raises(RuntimeError, match="one per process"):
        tov_pinyin.Engine()


def test_threads_share_the_engine_through_the_interpreter_lock(engine):
    def type_away(seed):
        rng = random.Random(seed)
        for _ in range(300):
            engine.search("".join(rng.choice("nihaozg'") for _ in range(rng.randrange(12))))
            engine.candidates(0, 5)
            engine.composition
    threads = [threading.Thread(target=type_away, args=(n,)) for n in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert isinstance(engine.letters, str)


def test_every_call_after_close_raises_and_close_repeats():
    outcome = child("""
        import json, tov_pinyin
        with tov_pinyin.Engine() as engine:
            engine.search("nihao")
        results = {"closed": engine.closed}
        calls = {"search": lambda: engine.search("a"), "candidates": engine.candidates,
                 "choose": lambda: engine.choose(0), "reset": engine.reset,
                 "enter": engine.__enter__}
        for name in ["letters", "composition", "fixed", "remaining", "count"]:
            calls[name] = lambda name=name: getattr(engine, name)
        for name, call in calls.items():
            try:
                call()
                results[name] = "returned"
            except ValueError as e:
                results[name] = str(e)
        engine.close()
        print(json.dumps(results))
    """)
    assert outcome.pop("closed") is True
    assert set(outcome.values()) == {"the pinyin engine is closed"}, outcome


def test_an_engine_opens_again_after_close():
    assert child("""
        import json, tov_pinyin
        tov_pinyin.Engine().close()
        engine = tov_pinyin.Engine()
        engine.search("zhongguo")
        print(json.dumps(engine.candidates(0, 1)))
    """, allow_reopen=True) == ["中国"]


def test_stub_matches_the_module(tmp_path):
    env = dict(os.environ, MYPYPATH=os.path.join(ROOT, "stubs"))
    env["PYTHONPATH"] = os.pathsep.join(p for p in sys.path if p)
    result = subprocess.run(
        [sys.executable, "-m", "mypy.stubtest", "--mypy-config-file",
         os.path.join(ROOT, "pyproject.toml"), "tov_pinyin"],
        cwd=str(tmp_path), env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
        universal_newlines=True, timeout=100)
    assert result.returncode == 0, result.stdout
    assert "Success: no issues found in 1 module" in result.stdout


# ---- the fuzz ------------------------------------------------------------------------------

def test_fuzz_the_binding():
    """Seeded random calls in a child; a crash or a SystemError fails, naming the last call."""
    result = subprocess.run(
        [sys.executable, os.path.abspath(__file__), str(SEED), str(CALLS)],
        env=dict(os.environ, PYTHONPATH=os.pathsep.join(
            [BUILD] + [p for p in [os.environ.get("PYTHONPATH")] if p])),
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, universal_newlines=True, timeout=600)
    lines = result.stdout.splitlines()
    last = [line for line in lines if line.startswith("> ")][-1:]
    assert result.returncode == 0, "crashed (exit %s) at %s\n%s" % (
        result.returncode, last, result.stderr[-3000:])
    summary = json.loads(lines[-1])
    print("pinyin fuzz: seed %d, %d calls: %s" % (SEED, CALLS, summary))
    assert summary["system_errors"] == [] and summary["ascii_committed"] == []
    assert summary["calls"] == CALLS and summary["commits"] > CALLS // 50


def awkward_letters(rng):
    kind = rng.randrange(8)
    if kind == 0:
        return "".join(rng.choice("abcdefghijklmnopqrstuvwxyz'ABZ") for _ in range(rng.randrange(80)))
    if kind == 1:
        return "".join(rng.choice("zcshgjqx") for _ in range(rng.randrange(10, 40)))
    if kind == 2:
        return rng.choice(["", "'", "''''", "v", "i", "u", "ng", "zzzzzzzzzzzzzzzz"])
    if kind == 3:
        return rng.choice("nz'") * rng.choice([10 ** 3, 10 ** 5])
    if kind == 4:
        return "".join(chr(rng.randrange(1, 0x3000)) for _ in range(rng.randrange(1, 12)))
    if kind == 5:
        return "ni" + rng.choice(["1", " ", "\x00", "你", "\udc80", "\n", "é"]) + "hao"
    if kind == 6:
        return rng.choice([b"nihao", None, 7, ["n"], 1.5])
    return "".join(rng.choice(["zhong", "guo", "ni", "hao", "shi", "yan", "wo", "ai", "men", "'"])
                   for _ in range(rng.randrange(1, 8)))


def awkward_number(rng, count):
    return rng.choice([rng.randrange(max(count, 1)), rng.randrange(max(count, 1)), 0, -1, count,
                       count + 1, 2 ** 70, -(2 ** 70), None, "1", 1.0, True])


def fuzz_child(seed, calls):
    """Random calls into one engine, closed part way through; prints a JSON summary."""
    rng = random.Random(seed)
    engine = tov_pinyin.Engine()
    close_at = calls * 9 // 10
    out = os.fdopen(os.dup(1), "w", buffering=1)
    system_errors, ascii_committed, outcomes, commits = [], [], {}, 0
    for i in range(calls):
        if i == close_at:
            engine.close()
        op = rng.randrange(20)
        count = 0 if engine.closed else engine.count
        if op < 8:
            letters = engine.letters if not engine.closed else ""
            call = ("type", letters + rng.choice("abcdefghijklmnopqrstuvwxyz'"))
        elif op < 10:
            call = ("back", (engine.letters if not engine.closed else "x")[:-1])
        elif op < 12:
            call = ("search", awkward_letters(rng))
        elif op < 16:
            call = ("choose", rng.randrange(count) if count and rng.random() < 0.8
                    else awkward_number(rng, count))
        elif op < 18:
            call = ("candidates", awkward_number(rng, count), rng.choice(
                [None, 10, 0, -1, 2 ** 70, "x"]))
        elif op < 19:
            call = ("read", rng.choice(["letters", "composition", "fixed", "remaining", "count",
                                        "closed"]))
        else:
            call = ("reset",)
        out.write("> %d %r\n" % (i, call[:2]))
        try:
            if call[0] in ("type", "back", "search"):
                engine.search(call[1])
            elif call[0] == "choose":
                committed = engine.choose(call[1])
                if committed is not None:
                    commits += 1
                    if any(c.isascii() and c.isalpha() for c in committed):
                        ascii_committed.append(committed)
            elif call[0] == "candidates":
                engine.candidates(call[1], call[2])
            elif call[0] == "read":
                getattr(engine, call[1])
            else:
                engine.reset()
            outcome = "returned"
        except SystemError as e:
            system_errors.append("%d %r: %s" % (i, call, e))
            outcome = "SystemError"
        except Exception as e:
            outcome = type(e).__name__
        outcomes[outcome] = outcomes.get(outcome, 0) + 1
    out.write(json.dumps({"calls": calls, "commits": commits, "outcomes": outcomes,
                          "system_errors": system_errors,
                          "ascii_committed": ascii_committed[:5]}) + "\n")


if __name__ == "__main__":
    fuzz_child(int(sys.argv[1]), int(sys.argv[2]))
