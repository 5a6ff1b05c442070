# One entry point for building and testing; `make test` is what CI runs.

BUILD      ?= build
ASAN_BUILD ?= build-asan
RELEASE_BUILD ?= build-release
JOBS       ?= $(shell nproc)
# Tests that open real windows need a display; without one they run under a virtual X server.
WITH_DISPLAY = $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1280x1024x24")

.PHONY: all setup configure build test run sanitize-test release fuzz bench clean

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

# What users download: an optimized build without symbols or tests in a folder of its own, so the
# test build stays as it is. VYMERA_* settings given in the environment or on the make command line
# (the release public key, e.g. `make release VYMERA_RELEASE_PUBLIC_KEY=$PWD/release-public.pem`)
# reach its configure.
RELEASE_SETTINGS = $(foreach v,$(filter VYMERA_%,$(.VARIABLES)),$(if $(filter environment command,$(firstword $(origin $(v)))),'-D$(v)=$($(v))'))
# Bootwyn is the one file handed to users; a release that outgrows this has taken in something it should not.
RELEASE_MAX_BOOTWYN_BYTES = 4194304

release: setup
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVYMERA_TESTS=OFF -DVYMERA_BENCH=OFF $(RELEASE_SETTINGS)
	cmake --build $(RELEASE_BUILD) -j $(JOBS)
	@size=$$(stat -c %s $(RELEASE_BUILD)/bin/Bootwyn) && echo "release: $(RELEASE_BUILD)/bin/Bootwyn, $$size bytes" && \
	  if [ $$size -gt $(RELEASE_MAX_BOOTWYN_BYTES) ]; then echo "release: Bootwyn is over 4 MiB" >&2; exit 1; fi

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(RELEASE_BUILD) build-fuzz
