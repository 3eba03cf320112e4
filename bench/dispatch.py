"""Call dispatch of one of the module's methods against a plain Python def, in ns per call.

Runs on any interpreter that can import tov_touch (the real wx or the stand-in one); prints five
numbers: ours and Python's, positional then by keyword, and a def with an empty body.
"""
import sys
import timeit

import tov_touch

ours = tov_touch.DigitKeypad.out_of_range


def python_def(self, value):
    below = value < self._minimum
    if below:
        return below
    return value > self._maximum


def trivial(self, value):
    return False


class Stand(object):
    _minimum, _maximum = 0, 10


def per_call(statement, namespace, number):
    return min(timeit.repeat(statement, globals=namespace, number=number, repeat=7)) / number * 1e9


def main():
    number = 100000 if "--quick" in sys.argv else 1000000
    ns = {"ours": ours, "py": python_def, "trivial": trivial, "s": Stand(), "v": 5}
    results = [per_call("ours(s, v)", ns, number), per_call("py(s, v)", ns, number),
               per_call("ours(s, value=v)", ns, number), per_call("py(s, value=v)", ns, number),
               per_call("trivial(s, v)", ns, number)]
    print(" ".join("%.2f" % r for r in results))


if __name__ == "__main__":
    main()
