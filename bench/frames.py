"""The keypads within a frame: a touch to the keypad's first paint and to the keypad drawn whole,
cold (the session's first) and warm, on three panel sizes; the text keyboard's state changes;
the instructions of both. Each figure beside the same one measured on a baseline build (the
module as it was before its keys lay on shared surfaces), in the same run.

Every sample is a child process (bench/opening.py) on an X server of its own.
"""
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

HERE = os.path.dirname(os.path.abspath(__file__))
OPENING = os.path.join(HERE, "opening.py")
MARKER = "wxMilliSleep(*"  # opening.py calls it at each touch, first paint and drawn frame
FRAME_MS = 1000 / 60.0
COLD_FRAMES = 3
SCREENS = ["800x480", "1280x1024", "1920x1080"]
COUNTED_SCREEN = "1280x1024"
# (what the report calls it, what opening.py opens or presses, layout, screen or None: all)
TOUCHES = [("numeric keypad", "digit", None), ("PIN pad", "pin", None),
           ("text keyboard, US", "text", "us"), ("text keyboard, Russian", "text", "ru"),
           ("text keyboard, pinyin", "text", "pinyin")]
STATES = [("Shift", "shift", None, "1280x1024"), ("Caps", "caps", None, "1280x1024"),
          ("layout key (Russian to Latin and back)", "layout", "ru", "1280x1024"),
          ("page key (?123 and back)", "page", None, "480x800"),
          ("a pinyin letter (candidates change)", "compose", "pinyin", "1280x1024")]


def _run(build, screen, what, samples, layout, count):
    """{"first": [...], "whole": [...]} of one child: ms, or with `count` instructions."""
    from xserver import xvfb
    width, height = (int(n) for n in screen.split("x"))
    command = [sys.executable, OPENING, what, str(samples)] + (
        ["--layout", layout] if layout else [])
    with xvfb(width, height) as display, tempfile.TemporaryDirectory() as out:
        env = dict(os.environ, DISPLAY=display, TOUCH_BUILD=build, NO_AT_BRIDGE="1")
        if not count:
            done = subprocess.run(command, env=env, check=True, timeout=900,
                                  stdout=subprocess.PIPE, universal_newlines=True)
            return json.loads(done.stdout.splitlines()[-1])
        subprocess.run(["valgrind", "--tool=callgrind",
                        "--callgrind-out-file=" + os.path.join(out, "cg.%p"),
                        "--dump-before=" + MARKER] + command + ["--count"],
                       env=env, check=True, timeout=1800, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        return _parts(out)


def _parts(out):
    """The counts between the markers: each sample is (touch to first paint), (first paint to
    the frame drawn), (the keypad ended, the next prepared)."""
    parts = {}
    for name in os.listdir(out):
        match = re.match(r"cg\.\d+\.(\d+)$", name)
        if match:
            with open(os.path.join(out, name)) as stream:
                parts[int(match.group(1))] = next(
                    int(line.split()[1]) for line in stream if line.startswith("summary:"))
    counts = [parts[n] for n in sorted(parts)][1:]  # the first part is start-up
    first = counts[0::3]
    return {"first": first, "whole": [a + b for a, b in zip(first, counts[1::3])]}


def _cold_warm(samples):
    return samples[0], statistics.median(samples[1:])


def run(quick, builds, section, verdict):
    """`builds`: [(name, build directory)], the baseline first."""
    samples = 11 if quick else 51
    baseline, current = builds
    rows = []
    for label, what, layout in TOUCHES:
        for screen in SCREENS:
            cells = []
            for _, build in builds:
                times = _run(build, screen, what, samples, layout, False)
                cells.append((_cold_warm(times["first"]), _cold_warm(times["whole"])))
            (b_first, b_whole), (first, whole) = cells
            rows.append([label, screen, "%.1f" % b_first[1], "%.1f" % first[1],
                         "%.1f" % b_whole[1], "%.1f" % whole[1], "%.1f" % b_first[0],
                         "%.1f" % first[0],
                         verdict(first[1] <= FRAME_MS and first[0] <= COLD_FRAMES * FRAME_MS)])
    section("Touch to keypad, within a frame (ms on Xvfb; %s and %s)" % (baseline[0], current[0]),
            ["keypad", "screen", "first paint, before", "now", "drawn whole, before", "now",
             "cold first paint, before", "now", "goal: <= 16.7 warm, <= 50 cold"], rows,
            ["A touch on a bound control (a left-button press dispatched to it) to the first paint "
             "event of the keypad: median of %d. `drawn whole`: to the end of the paints of that "
             "frame (the first idle time after them). `cold`: the first touch of a fresh "
             "process, with fonts, palettes and layouts not yet loaded. `before`: %s; `now`: %s."
             % (samples - 1, baseline[0], current[0])])

    rows = []
    for label, what, layout, screen in STATES:
        cells = [_run(build, screen, what, samples, layout, False) for _, build in builds]
        (b_first, b_whole), (first, whole) = [(statistics.median(c["first"][1:]),
                                               statistics.median(c["whole"][1:]))
                                              for c in cells]
        rows.append([label, screen, "%.1f" % b_first, "%.1f" % first, "%.1f" % b_whole,
                     "%.1f" % whole, verdict(whole <= FRAME_MS)])
    section("Text keyboard's state changes (ms on Xvfb)",
            ["press", "screen", "first paint, before", "now", "drawn whole, before", "now",
             "goal: drawn <= 16.7"], rows,
            ["A press of the key (its EVT_BUTTON, as a touch sends it) on an open text keyboard "
             "to the first paint after it, and to the end of that frame's paints: median of %d "
             "presses after the first." % (samples - 1)])

    if not shutil.which("valgrind"):
        section("Instructions, touch to first paint", ["problem"],
                [["valgrind is not installed (`bash scripts/setup.sh valgrind`)"]])
        return
    counted = 4 if quick else 6
    cases = [(label, what, layout, next((s[3] for s in STATES if s[1] == what), COUNTED_SCREEN))
             for label, what, layout in TOUCHES + [(s[0], s[1], s[2]) for s in STATES]]
    with ThreadPoolExecutor(2) as pool:  # two at a time: this machine has two cores
        counts = list(pool.map(lambda job: _run(job[0], job[1][3], job[1][1], counted,
                                                job[1][2], True),
                               [(build, case) for case in cases for _, build in builds]))
    rows = []
    for index, (label, what, layout, screen) in enumerate(cases):
        cells = counts[2 * index:2 * index + 2]
        (b_first, b_whole), (first, whole) = [(_cold_warm(c["first"]), _cold_warm(c["whole"]))
                                              for c in cells]
        ratio = first[1] / b_first[1]
        rows.append([label, screen, "%.1f" % (b_first[1] / 1e6), "%.1f" % (first[1] / 1e6),
                     "%.2f" % ratio, "%.1f" % (b_whole[1] / 1e6), "%.1f" % (whole[1] / 1e6),
                     "%.1f" % (b_first[0] / 1e6), "%.1f" % (first[0] / 1e6),
                     verdict(ratio <= 0.5) if what == "text" else ""])
    section("Instructions, touch to first paint (millions, callgrind)",
            ["touch or press", "screen", "first paint, before", "now", "now / before",
             "drawn whole, before", "now", "cold first paint, before", "now",
             "goal: text keyboard <= 0.5x"], rows,
            ["Instructions executed in the application's process, counted by callgrind between "
             "marker calls (%s) at the touch and at the first paint: the figure that predicts a "
             "panel's slower CPU. Median of %d warm touches; `cold` is the process's first. The "
             "X server's own work is not in it." % (MARKER, counted - 1)])
