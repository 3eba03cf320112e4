# Drives the CMake build; CMakeLists.txt is the one build definition.
PYTHON    ?= /usr/bin/python3
BUILD     ?= build
BUILD_TYPE ?= RelWithDebInfo
PYTEST_ARGS ?=

export PYTHONPATH := $(abspath $(BUILD))$(if $(PYTHONPATH),:$(PYTHONPATH))
export NO_AT_BRIDGE := 1

.PHONY: all setup build test demo demo-repeat test-pythons prove-debian prove-arm prove-apps wheel \
	clean fuzz-pinyin fuzz-east-asian

all: build

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -DPython3_EXECUTABLE=$(PYTHON) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null
	@cmake --build $(BUILD) -j2

test: build
	cd $(BUILD) && ctest --output-on-failure
	$(PYTHON) -m pytest tests $(PYTEST_ARGS)
	@bash scripts/test_pythons.sh $(PYTHON)

# Chinese input's long seeded random runs: 8 x 100,000 calls to the engine's process and
# 8 x 10,000 presses on the pinyin keyboard (the suite runs a small slice of each).
fuzz-pinyin: build
	FUZZ_SEEDS=8 PINYIN_ENGINE_CALLS=100000 PINYIN_KEY_PRESSES=10000 \
	  nice $(PYTHON) -m pytest tests/test_chinese.py -k random -s -q $(PYTEST_ARGS)

# The Japanese, Korean and Traditional Chinese layouts' long seeded random runs: 8 x 100,000
# calls to each engine's process and 8 x 10,000 presses on each layout (the suite runs a slice).
fuzz-east-asian: build
	FUZZ_SEEDS=8 EAST_ASIAN_ENGINE_CALLS=100000 EAST_ASIAN_KEY_PRESSES=10000 \
	  nice $(PYTHON) -m pytest tests/test_east_asian.py -k random -s -q $(PYTEST_ARGS)

demo: build
	$(PYTHON) demo/demo.py

# The headless demo (its own Xvfb) RUNS times in a row; prints how many runs passed.
RUNS ?= 30
demo-repeat: build
	PYTHON=$(PYTHON) bash scripts/demo_repeat.sh $(RUNS)

# Builds the module against every CPython 3.6 to 3.14 present (pyenv's or on the PATH) and runs
# the start-up and function-object tests on each, against the stand-in wx under tests/standin.
test-pythons: setup
	@bash scripts/test_pythons.sh

# A wheel for $(PYTHON) in dist/, built through the same CMakeLists.txt by setup.py.
wheel: setup
	$(PYTHON) -m pip wheel . --no-build-isolation --no-deps --no-index -w dist

# Dispatch, handler, touch-to-keypad, start-up and memory figures, written to bench/RESULTS.md.
# The dispatch figures include every pyenv interpreter that `make test-pythons` built for.
BENCH_ARGS ?=
bench: build
	PYTHON=$(PYTHON) bash bench/run.sh $(BENCH_ARGS)

# The module under AddressSanitizer, LeakSanitizer and UBSan, in its own build directory, with the
# whole pytest suite run against it (slow: not part of `make test`).
# SANITIZE_TESTS="tests/test_x.py ..." runs a part of the suite instead.
ASAN_BUILD ?= build-asan
SANITIZE_TESTS ?=
test-sanitize: setup
	@cmake -S . -B $(ASAN_BUILD) -DPython3_EXECUTABLE=$(PYTHON) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOUCH_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j2 --target tov_touch siblings
	PYTHON=$(PYTHON) bash scripts/test_sanitize.sh $(ASAN_BUILD) $(SANITIZE_TESTS)

# Cross-builds the module for Windows with mingw-w64 (i686 and x86_64, against CPython 3.9, 3.11
# and 3.13) and checks what each .pyd exports and imports; the first run fetches CPython's
# sources into ~/.cache/tov_touch (TOV_TOUCH_CACHE to move it).
.PHONY: cross-windows
cross-windows:
	@bash scripts/cross_windows.sh $(BUILD)/cross-windows

# Fresh Debian roots (debootstrap) of each release in RELEASES, this repository's HEAD cloned into
# each and the README's two commands run there; one line per release. Needs root and the network,
# and several minutes a release, so it is not part of `make test`. The roots go under ROOTS.
RELEASES ?= 12 13 testing
ROOTS ?= /var/tmp/tov_touch-roots
prove-debian:
	ROOTS=$(ROOTS) bash scripts/prove_debian.sh $(RELEASES)

# The same on Debian 12 for the ARM panels, arm64 and armhf side by side, emulated by qemu-user
# (binfmt_misc) at the lowest CPU priority; one line per architecture. Each command is ended
# after ARM_BOUND seconds. ARM_TESTS are the pytest arguments of `./run test` there: by default
# they leave out the tests whose time limits emulation cannot keep (see the README; ARM_TESTS=
# runs everything), and ARM_FUZZ_CALLS is the fuzz test's number of calls there (half the
# suite's: each of its children must finish within its limit). The roots go under ARM_ROOTS.
ARCHS ?= arm64 armhf
ARM_ROOTS ?= /var/tmp/tov_touch-arm-roots
ARM_BOUND ?= 3600
ARM_TESTS ?= --ignore=tests/test_packaging.py --ignore=tests/test_screens.py \
	--ignore=tests/test_window_managers.py --ignore=tests/test_real_applications.py \
	--deselect=tests/test_stubs.py::test_stubtest_reports_nothing \
	--deselect=tests/test_chinese.py::test_a_sentence_of_22_syllables_with_punctuation_and_digits_between
ARM_FUZZ_CALLS ?= 6000
prove-arm:
	ROOTS=$(ARM_ROOTS) BOUND=$(ARM_BOUND) TESTS='$(ARM_TESTS)' \
	  VARIABLES='FUZZ_CALLS=$(ARM_FUZZ_CALLS)' bash scripts/prove_arm.sh $(ARCHS)

# Real wxPython applications from Debian's archive (pronterface, chirp), installed here, with keypads
# bound to their controls and typed into by touch: tests/test_real_applications.py.
APPLICATIONS ?= pronterface chirp
prove-apps: build
	@bash scripts/setup.sh $(APPLICATIONS)
	$(PYTHON) -m pytest tests/test_real_applications.py -v $(PYTEST_ARGS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) dist
