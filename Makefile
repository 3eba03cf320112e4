# Drives the CMake build; CMakeLists.txt is the one build definition.
PYTHON    ?= /usr/bin/python3
BUILD     ?= build
BUILD_TYPE ?= RelWithDebInfo
PYTEST_ARGS ?=

export PYTHONPATH := $(abspath $(BUILD))$(if $(PYTHONPATH),:$(PYTHONPATH))
export NO_AT_BRIDGE := 1

.PHONY: all setup build test demo test-pythons wheel clean

all: build

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -DPython3_EXECUTABLE=$(PYTHON) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null
	@cmake --build $(BUILD) -j2

test: build
	cd $(BUILD) && ctest --output-on-failure
	$(PYTHON) -m pytest tests $(PYTEST_ARGS)
	@bash scripts/test_pythons.sh

demo: build
	$(PYTHON) demo/demo.py

# Builds the module against every CPython 3.6 to 3.13 that pyenv has here and runs the start-up
# and function-object tests on each, against the stand-in wx under tests/standin.
test-pythons: setup
	@bash scripts/test_pythons.sh

# A wheel for $(PYTHON) in dist/, built through the same CMakeLists.txt by setup.py.
wheel: setup
	$(PYTHON) -m pip wheel . --no-build-isolation --no-deps --no-index -w dist

clean:
	rm -rf $(BUILD) dist
