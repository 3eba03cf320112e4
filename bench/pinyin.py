"""The pinyin engine's share of a key press on the pinyin layout: the search for the grown (or
shortened) composition, its first page of candidates and the composition text, as the forms
would ask for them. Median, 95th percentile and worst of each run of presses, in milliseconds.

    PYTHONPATH=build python3 bench/pinyin.py [PRESSES]      # 200 presses a run by default

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


if __name__ == "__main__":
    main()
