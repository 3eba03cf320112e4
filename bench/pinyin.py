"""The pinyin engine's share of a key press on the pinyin layout: the search for the grown (or
shortened) composition, its first page of candidates and the composition text, as the forms
would ask for them. Median, 95th percentile and worst of each run of presses, in milliseconds.

    PYTHONPATH=build python3 bench/pinyin.py [PRESSES]      # 200 presses a run by default

The same runs again through the engine's own process, as the keyboard drives it (one request
and its reply a press). bench.py measures whole presses, to the candidate row painted.

Runs: sentences typed letter by letter, each committed when typed (candidate 0); the same with a
backspace after every third letter; initials only, which stop growing at nine syllables (every
press past that is a search that is refused and undone); and whole 39-letter strings searched at
once, which the binding grows one letter at a time.
"""
import random
import statistics
import sys
import time

import tov_pinyin

SENTENCES = ["nihao", "zhongguo", "womenshizhongguoren", "jintiantianqihenhao",
             "qingshurupicihao", "caozuoyuan", "peifangmingcheng", "shengchanxian",
             "wendushezhi", "yalichuanganqi", "zhonghuarenmingongheguo", "xi'an"]
PAGE = 8


def press(engine, letters):
    """One key press: the search, then what the candidate row and the composition show."""
    began = time.perf_counter()
    engine.search(letters)
    engine.candidates(0, PAGE)
    engine.composition
    return (time.perf_counter() - began) * 1000


def typed(engine, presses, backspace_every=0):
    times, rng = [], random.Random(1)
    while len(times) < presses:
        sentence, typed_so_far = rng.choice(SENTENCES), ""
        for n, letter in enumerate(sentence, 1):
            typed_so_far += letter
            times.append(press(engine, typed_so_far))
            if backspace_every and n % backspace_every == 0:
                times.append(press(engine, typed_so_far[:-1]))
                times.append(press(engine, typed_so_far))
        if engine.count:
            engine.choose(0)
        engine.reset()
    return times[:presses]


def initials(engine, presses):
    times, rng = [], random.Random(2)
    while len(times) < presses:
        engine.reset()
        letters = ""
        for _ in range(20):
            letters = engine.letters + rng.choice("zcsgjqxdbh")
            times.append(press(engine, letters))
    return times[:presses]


def pasted(engine, presses):
    times, rng = [], random.Random(3)
    for _ in range(presses):
        engine.reset()
        letters = "".join(rng.choice(SENTENCES).replace("'", "") for _ in range(4))[:39]
        times.append(press(engine, letters))
    return times


def summary(name, times):
    ordered = sorted(times)
    return "%-44s %6d %8.3f %8.3f %8.3f" % (name, len(times), statistics.median(ordered),
                                            ordered[int(len(ordered) * 0.95) - 1], ordered[-1])


class Remote(object):
    """The engine's process, with the binding's calls the runs above make."""

    def __init__(self):
        from tov_touchui import composing
        self._process = composing.EngineProcess("pinyin")
        self._view = self._process.request("reset")

    def search(self, letters):
        self._view = self._process.request("search", letters, 0, PAGE)

    def candidates(self, start, count):
        return self._view["candidates"]

    composition = property(lambda self: self._view["composition"])
    count = property(lambda self: self._view["count"])
    letters = property(lambda self: self._view["keys"])

    def choose(self, index):
        self._view = self._process.request("choose", index, 0, PAGE)

    def reset(self):
        self._view = self._process.request("reset")

    def close(self):
        self._process.close()


def main():
    presses = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    began = time.perf_counter()
    engine = tov_pinyin.Engine()
    opened = (time.perf_counter() - began) * 1000
    print("Engine() with its system dictionary: %.1f ms" % opened)
    print("%-44s %6s %8s %8s %8s" % ("run (ms per press)", "n", "median", "p95", "worst"))
    print(summary("sentences typed letter by letter", typed(engine, presses)))
    print(summary("the same, a backspace after every 3rd letter", typed(engine, presses, 3)))
    print(summary("initials only, held at 9 syllables", initials(engine, presses)))
    print(summary("39 letters searched at once", pasted(engine, presses)))
    engine.close()

    began = time.perf_counter()
    remote = Remote()
    print("\nThe engine's process started and answering: %.1f ms"
          % ((time.perf_counter() - began) * 1000))
    print(summary("process: sentences letter by letter", typed(remote, presses)))
    print(summary("process: a backspace after every 3rd letter", typed(remote, presses, 3)))
    print(summary("process: 39 letters searched at once", pasted(remote, presses)))
    remote.close()


if __name__ == "__main__":
    main()
