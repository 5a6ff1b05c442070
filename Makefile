# One entry point for building and testing; `make test` is what CI runs.

BUILD      ?= build
ASAN_BUILD ?= build-asan
RELEASE_BUILD ?= build-release
DEB_BUILD  ?= build-deb
WINDOWS_BUILD ?= build-windows
WINDOWS_RELEASE_BUILD ?= build-windows-release
JOBS       ?= $(shell nproc)
# Tests that open real windows need a display; without one they run under a virtual X server.
WITH_DISPLAY = $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1280x1024x24")

.PHONY: all setup configure build test run sanitize-test release deb deb-check windows windows-test windows-gui-test windows-release fuzz bench clean

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

# The Debian packages vymera and vymera-service, from a Release build of their own in build-deb/:
# the package manager updates and removes them, so the client is built without its self-update and
# the updater, installer, removal program and bootstrapper (and the release key) are left out. Then
# lintian and the packages' contents are checked.
PROJECT_VERSION = $(shell sed -n 's/^project.Vymera VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

deb: setup
	@head -n1 packaging/debian/changelog | grep -q '^vymera ($(PROJECT_VERSION)) ' || \
	  { echo "deb: packaging/debian/changelog has no entry for $(PROJECT_VERSION) at its top" >&2; exit 1; }
	cmake -S . -B $(DEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVYMERA_TESTS=OFF -DVYMERA_BENCH=OFF -DVYMERA_SELF_UPDATE=OFF \
	  '-DCMAKE_EXE_LINKER_FLAGS=-Wl,-z,relro,-z,now' '-DCMAKE_SHARED_LINKER_FLAGS=-Wl,-z,relro,-z,now'
	cmake --build $(DEB_BUILD) -j $(JOBS)
	$(call debian_packages,$(DEB_BUILD))
	@echo "deb: $(DEB_BUILD)/vymera_$(PROJECT_VERSION)_amd64.deb $(DEB_BUILD)/vymera-service_$(PROJECT_VERSION)_amd64.deb"

# The same packages made from the test build (stripped as they are packed) and checked: what CI
# runs, since it costs minutes where a Release build from cold costs half an hour.
deb-check: build
	$(call debian_packages,$(BUILD))

define debian_packages
	rm -f $(1)/vymera_*.deb $(1)/vymera-service_*.deb
	cd $(1) && cpack -G DEB
	packaging/debian/check $(1)
endef

# The Windows programs and tests, cross-built with mingw-w64 in build-windows/; the tests run under
# Wine (a prefix of the build's own) on a virtual X server.
windows:
	scripts/setup windows $(WINDOWS_BUILD)
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DVYMERA_BENCH=OFF \
	  -DVYMERA_HOST_BUILD=$(abspath $(BUILD))
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

# The Windows end-to-end run (label e2e-windows) drives the programs against the Linux build's
# service and device simulator, built here first.
windows-test: windows configure
	cmake --build $(BUILD) -j $(JOBS) --target vymera-service vymera-sim x_screenshot
	cd $(WINDOWS_BUILD) && $(WITH_DISPLAY) ctest --output-on-failure -j $(JOBS) -LE wine-windows

# What Windows users download, as `make release` makes it for Linux: Bootwyn.exe and the programs it
# carries, optimized, without tests, in a folder of its own; the release key as for `make release`.
windows-release:
	scripts/setup windows $(WINDOWS_RELEASE_BUILD)
	cmake -S . -B $(WINDOWS_RELEASE_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DVYMERA_TESTS=OFF -DVYMERA_BENCH=OFF $(RELEASE_SETTINGS)
	cmake --build $(WINDOWS_RELEASE_BUILD) -j $(JOBS)
	@echo "windows-release: $(WINDOWS_RELEASE_BUILD)/bin/Bootwyn.exe, $$(stat -c %s $(WINDOWS_RELEASE_BUILD)/bin/Bootwyn.exe) bytes"

# The Win32 toolkit's cases with real skin windows, one process each.
windows-gui-test: windows
	cd $(WINDOWS_BUILD) && $(WITH_DISPLAY) ctest --output-on-failure -L wine-windows

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(RELEASE_BUILD) $(DEB_BUILD) $(WINDOWS_BUILD) $(WINDOWS_RELEASE_BUILD) build-fuzz
