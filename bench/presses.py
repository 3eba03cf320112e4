"""Presses one key handler of the handler benchmark a given number of times, on the dialogs that
bench.py builds, for callgrind to count the instructions of.

    python3 bench/presses.py HANDLER ours|python|bare PRESSES
"""
import bench  # takes the arguments out of sys.argv before wx sees them: they are in bench.ARGS


def main():
    handler, variant, presses = bench.ARGS
    app = bench.wx.App(False)  # noqa: F841 (kept alive for the presses)
    event, cases, close = bench.keypads()
    start, variants = next((c[2], c[3]) for c in cases if c[1] == handler)
    call, field = variants[bench.VARIANTS.index(variant)]
    # The same press as the wall-clock loop, less the clock.
    for _ in range(int(presses)):
        field.ChangeValue(start)
        call(event)
    close()


if __name__ == "__main__":
    main()
