# make run   - install what is missing, build, start the program
# make test  - install what is missing, build, run every test
# make check - the stricter gate: the program's code built with AddressSanitizer and
#              UndefinedBehaviorSanitizer and warnings as errors, every test run on it (in
#              build-check; the tests' own sources at -O0 without sanitizers, no benchmarks:
#              make test builds those; the package is make test's too), then each
#              fuzz target for FUZZ_SECS seconds (in build-fuzz)
# make package - build the Debian package quellmark_<version>_<arch>.deb in build/
# make bench - build and run the benchmarks
# make guide-shots - renew the user guide's pictures (doc/guide/shots) from the real windows
# make deps  - only install the packages
# make format - reformat the sources with clang-format (.clang-format)

BUILD ?= build
CHECK_BUILD ?= build-check
FUZZ_SECS ?= 30
JOBS ?= $(shell nproc)

SANITIZE := -fsanitize=address,undefined -fno-omit-frame-pointer
# -O1 keeps the warnings that need data-flow analysis; without variable tracking g++
# compiles the sanitized tests about twice as fast, and reports still name file and line.
CHECK_CXXFLAGS := -O1 -fno-var-tracking $(SANITIZE)
# Any sanitizer report, leaks included, ends the test program with a failure.
CHECK_ENV := QT_QPA_PLATFORM=offscreen \
	ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: all deps build run test package check bench format clean guide-shots

all: build

deps:
	@scripts/install-deps.sh

# Debug information is line tables only (-g1): backtraces and sanitizer reports still name
# file and line, and the compiles take a fifth less time than with full -g.
$(BUILD)/build.ninja:
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" >/dev/null

build: deps $(BUILD)/build.ninja
	@cmake --build $(BUILD) -j $(JOBS)

run:
	@scripts/install-deps.sh --run
	@$(MAKE) --no-print-directory build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "No display found: run 'xvfb-run make run', or 'make run' from a desktop session."; exit 1; fi
	@$(BUILD)/bin/quellmark

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest -j $(JOBS) --output-on-failure --timeout 600

package: build
	@cd $(BUILD) && cpack >cpack.log 2>&1 || { cat cpack.log; exit 1; }
	@sed -n 's/^CPack: - package: \(.*\) generated\.$$/\1/p' $(BUILD)/cpack.log

check:
	@scripts/install-deps.sh --check
	@cmake -S . -B $(CHECK_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQM_WERROR=ON -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
	  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON "-DQM_TEST_CXX_FLAGS=-O0 -fno-sanitize=all" \
	  "-DCMAKE_CXX_FLAGS=$(CHECK_CXXFLAGS)" "-DCMAKE_EXE_LINKER_FLAGS=$(SANITIZE)" >/dev/null
	@cmake --build $(CHECK_BUILD) -j $(JOBS)
	@cd $(CHECK_BUILD) && $(CHECK_ENV) ctest -j $(JOBS) --output-on-failure --timeout 600 --label-exclude package
	@fuzz/build.sh run $(FUZZ_SECS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

# The windows as a teacher's 1024×768 screen shows them, taken by guide_shots under Xvfb.
guide-shots: build
	@xvfb-run -a -s "-screen 0 1024x768x24" $(BUILD)/bin/guide_shots doc/guide/shots
	@echo "Pictures renewed in doc/guide/shots; look at them, then commit them."

format:
	@scripts/install-deps.sh --format
	@find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(CHECK_BUILD) build-fuzz
