"""The seeded random run of calls to a composing engine's process, shared by the engines'
tests."""
from tov_touchui import composing


def random_engine_calls(process, rng, calls, random_keys):
    """`calls` random requests to `process` (an EngineProcess), valid and not: searches of
    `random_keys(rng)`, choices in range and out, pages, resets. Returns how many times the
    engine's process ended and how many requests it refused."""
    count, ended, refused = 0, 0, 0
    for _ in range(calls):
        operation = rng.choice(["search"] * 3 + ["choose"] * 3 + ["page", "reset"])
        argument = random_keys(rng) if operation == "search" else rng.choice(
            [rng.randrange(max(count, 1)), rng.randrange(max(count, 1) + 300), -1, "x"])
        try:
            count = process.request(operation, argument, rng.randrange(300),
                                    rng.choice([0, 6, 50]))["count"]
        except composing.EngineGone:
            ended, count = ended + 1, 0
        except ValueError:
            refused += 1
    return ended, refused
