# The commands of the README. Each one installs what is missing, configures and builds first.
BUILD ?= build
CMAKE_ARGS ?=
JOBS ?= $(shell nproc)

.PHONY: all setup build demo run test bench package format clean

all: build

setup:
	@tools/setup.sh || { echo "make: installing the Debian packages failed" >&2; exit 1; }

build: setup
	@cmake -S . -B $(BUILD) $(CMAKE_ARGS) >/dev/null || { echo "make: configuring failed" >&2; exit 1; }
	@cmake --build $(BUILD) -j $(JOBS) || { echo "make: the build failed" >&2; exit 1; }

# The wizard against the simulated controller, which power-cycles itself when asked to and
# compares its flash with the release at the end.
demo: build
	$(BUILD)/bin/obsim --auto-cycle --release firmware/release/orbeline-1.37.fw -- $(BUILD)/bin/obflash

# The wizard against a real controller on this machine's serial ports.
run: build
	$(BUILD)/bin/obflash $(ARGS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) \
		|| { echo "make: tests failed (see above)" >&2; exit 1; }

bench: build
	@bench/run.sh $(BUILD)

# The Debian package, $(BUILD)/obflash_<version>_<architecture>.deb.
package: build
	@cd $(BUILD) && cpack -G DEB || { echo "make: building the package failed" >&2; exit 1; }

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
