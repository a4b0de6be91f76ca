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
	@$(MAKE) --no-print-directory test-sanitize

# The whole suite again in a clang build with AddressSanitizer and UndefinedBehaviorSanitizer,
# then a short run of every fuzz target from its committed seeds. `make fuzz` fuzzes for as
# long as asked: FUZZ_SECONDS per target.
SANITIZE_BUILD ?= $(BUILD)/sanitize
FUZZ_SECONDS ?= 600
FUZZ_SMOKE_SECONDS ?= 20
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1

.PHONY: sanitize-build test-sanitize fuzz fuzz-smoke

sanitize-build: setup
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DOBFLASH_SANITIZE=ON $(CMAKE_ARGS) \
		>/dev/null || { echo "make: configuring the sanitizer build failed" >&2; exit 1; }
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS) || { echo "make: the sanitizer build failed" >&2; exit 1; }

test-sanitize: sanitize-build
	@cd $(SANITIZE_BUILD) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen \
		ctest --output-on-failure -j $(JOBS) \
		|| { echo "make: tests failed under the sanitizers (see above)" >&2; exit 1; }
	@$(MAKE) --no-print-directory fuzz-smoke

fuzz-smoke: sanitize-build
	@$(SANITIZER_ENV) fuzz/run.sh $(SANITIZE_BUILD) $(FUZZ_SMOKE_SECONDS) smoke \
		|| { echo "make: a fuzz target failed (see above)" >&2; exit 1; }

fuzz: sanitize-build
	@$(SANITIZER_ENV) fuzz/run.sh $(SANITIZE_BUILD) $(FUZZ_SECONDS) \
		|| { echo "make: a fuzz target failed (see above)" >&2; exit 1; }

bench: build
	@bench/run.sh $(BUILD)

# The Debian package, $(BUILD)/obflash_<version>_<architecture>.deb.
package: build
	@cd $(BUILD) && cpack -G DEB || { echo "make: building the package failed" >&2; exit 1; }

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
