# One entry point for building and testing; `make test` is what CI runs.

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
# Tests that open real windows need a display; without one they run under a virtual X server.
WITH_DISPLAY = $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1280x1024x24")

.PHONY: all setup configure build test run sanitize-test fuzz bench clean

all: build

setup:
	scripts/setup

configure: setup
	cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && $(WITH_DISPLAY) ctest --output-on-failure -j $(JOBS)

# The whole system: the service with its demo account, the simulated devices and the client.
run: build
	scripts/run $(BUILD)

# The unit tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize-test: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVYMERA_SANITIZE=ON -DVYMERA_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest -L "unit|net" --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
