"""Seeded fuzzing of every public callable, method and property of tov_touch.

The calls run in child processes (tests/fuzz_child.py) so that a segfault or an abort is counted
and named instead of taking pytest down: when a child dies, the call it announced last is replayed
alone in a fresh child to tell a self-contained culprit from one that needs the calls before it,
and the run resumes after it. Returning and raising a Python exception are both fine; a crash, a
hang, or a SystemError (an exception state the module got wrong) fails the test.
"""
import json
import os
import subprocess
import sys
import tempfile
import time

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CHILD = os.path.join(HERE, "fuzz_child.py")
SUMMARY = os.path.join(ROOT, "build", "fuzz-summary.txt")

SEED = int(os.environ.get("FUZZ_SEED", "20261208"))
CALLS = int(os.environ.get("FUZZ_CALLS", "12000"))
WORKERS = 2  # the CI machine has two cores
CHILD_TIMEOUT = 240

pytestmark = pytest.mark.timeout(600)


def child_env(**extra):
    env = dict(os.environ, **extra)
    build = os.environ.get("TOUCH_BUILD") or os.path.join(ROOT, "build")
    env["PYTHONPATH"] = os.pathsep.join([build, HERE] + [p for p in [env.get("PYTHONPATH")] if p])
    env["NO_AT_BRIDGE"] = "1"
    return env


def start(first, count, **env):
    # Files, not pipes: the child announces every call, far more than a pipe buffers while the
    # parent is busy with the other worker.
    out, err = tempfile.TemporaryFile("w+"), tempfile.TemporaryFile("w+")
    proc = subprocess.Popen([sys.executable, CHILD, str(SEED), str(first), str(count)],
                            stdout=out, stderr=err, env=child_env(**env))
    proc.files = out, err
    proc.started = time.monotonic()
    return proc


def finish(proc):
    try:
        proc.wait(timeout=max(1, CHILD_TIMEOUT - (time.monotonic() - proc.started)))
        killed = ""
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        killed = "\n(killed after %d s)" % CHILD_TIMEOUT
    texts = []
    for stream in proc.files:
        stream.seek(0)
        texts.append(stream.read())
        stream.close()
    out, err = texts[0], texts[1] + killed
    lines = out.splitlines()
    summary = None
    if proc.returncode == 0 and lines and lines[-1].startswith("{"):
        summary = json.loads(lines[-1])
    announced = [line for line in lines if line.startswith("> ")]
    last = None
    if announced:
        index, _, label = announced[-1][2:].partition(" ")
        last = (int(index), label)
    tail = "\n".join(line for line in err.splitlines()
                     if "Gtk-WARNING" not in line and "Pango-WARNING" not in line
                     and "Invalid label" not in line and line.strip())[-1500:]
    return proc.returncode, summary, last, tail


class Range(object):
    """One worker's share of the calls, resumed past every call that killed its child."""

    def __init__(self, first, count, **env):
        self.env = env
        self.next, self.end = first, first + count
        self.proc = None
        self.summaries = []
        self.crashes = []
        self.retries = 0

    def step(self):
        """Starts a child if work remains; returns whether one is running."""
        if self.proc is None and self.next < self.end:
            self.batch_start = self.next
            self.proc = start(self.next, self.end - self.next, **self.env)
        return self.proc is not None

    def poll(self):
        if self.proc is None:
            return
        if self.proc.poll() is None and time.monotonic() - self.proc.started < CHILD_TIMEOUT:
            return
        code, summary, last, tail = finish(self.proc)
        self.proc = None
        if summary is not None:
            self.summaries.append(summary)
            self.next = self.end
            return
        if last is None and self.retries < 2:  # could not even open the display: once more
            self.retries += 1
            time.sleep(0.5)
            return
        if last is None:  # died before its first call: nothing to resume from
            self.crashes.append({"index": None, "label": "start-up", "code": code, "tail": tail})
            self.next = self.end
            return
        self.crashes.append({"index": last[0], "label": last[1], "code": code, "tail": tail,
                             "batch_start": self.batch_start})
        self.next = last[0] + 1


def replay_alone(crash):
    code, summary, _, tail = finish(start(crash["index"], 1))
    crash["alone"] = "reproduces alone" if summary is None else (
        "only after calls %d..%d of the same child" % (crash["batch_start"], crash["index"] - 1))
    crash["alone_tail"] = tail if summary is None else ""


def test_fuzz_every_callable():
    began = time.monotonic()
    share = -(-CALLS // WORKERS)
    ranges = [Range(i * share, min(share, CALLS - i * share)) for i in range(WORKERS)]
    while any(r.step() for r in ranges):
        for r in ranges:
            r.poll()
        time.sleep(0.05)
    crashes = [c for r in ranges for c in r.crashes]
    for crash in crashes:
        if crash["index"] is not None:
            replay_alone(crash)

    outcomes, exceptions, system_errors, targets = {}, {}, [], 0
    for summary in (s for r in ranges for s in r.summaries):
        for key, value in summary["outcomes"].items():
            outcomes[key] = outcomes.get(key, 0) + value
        for key, value in summary["exceptions"].items():
            exceptions[key] = exceptions.get(key, 0) + value
        system_errors += summary["system_errors"]
        targets = summary["targets"]
    made = outcomes.get("returned", 0) + outcomes.get("raised", 0) + len(crashes)

    report = ["fuzz: seed %d, %d calls over %d targets in %.1f s: %d returned, %d raised, "
              "%d crashed, %d SystemError" % (
                  SEED, made, targets, time.monotonic() - began, outcomes.get("returned", 0),
                  outcomes.get("raised", 0), len(crashes), len(system_errors)),
              "exceptions: " + ", ".join("%s %d" % kv for kv in sorted(
                  exceptions.items(), key=lambda kv: -kv[1]))]
    for crash in crashes:
        report.append("CRASH (exit %s) at call %s: %s [%s]\n%s" % (
            crash["code"], crash["index"], crash["label"], crash.get("alone", "-"),
            crash["tail"]))
    report += ["SystemError at call %s" % e for e in system_errors]
    text = "\n".join(report)
    os.makedirs(os.path.dirname(SUMMARY), exist_ok=True)
    with open(SUMMARY, "w") as stream:
        stream.write(text + "\n")

    assert not crashes and not system_errors, text
    assert made >= min(CALLS, 10000), text


def test_a_crash_is_counted_and_named():
    """The harness itself: a child that segfaults at call 7 is resumed and the call named."""
    worker = Range(0, 12, FUZZ_CRASH_AT="7")
    while worker.step():
        time.sleep(0.05)
        worker.poll()
    assert [c["index"] for c in worker.crashes] == [7]
    assert worker.crashes[0]["code"] != 0
    assert sum(s["outcomes"]["returned"] + s["outcomes"]["raised"]
               for s in worker.summaries) == 4  # calls 8..11, after the resume
