"""Presses every key handler of the handler benchmark with each variant in turn, on the dialog
that bench.py builds, for callgrind to count: a marker call ends each run of presses.

    python3 bench/presses.py PRESSES
"""
import bench  # takes the arguments out of sys.argv before wx sees them: they are in bench.ARGS


def main():
    presses = int(bench.ARGS[0])
    app = bench.wx.App(False)  # noqa: F841 (kept alive for the presses)
    field, event, cases, close = bench.keypads()
    bench.wx.MilliSleep(0)  # the count so far is start-up
    for _, _, start, variants in cases:
        for call in variants:
            # The same press as the wall-clock loop, less the clock.
            for _ in range(presses):
                field.ChangeValue(start)
                call(event)
            bench.wx.MilliSleep(0)
    close()


if __name__ == "__main__":
    main()
