# SPDX-License-Identifier: GPL-3.0-or-later
# make       builds Narro (the library, its programs and its tests) in
#            build/, configuring it first; it starts nothing.
# make run   builds Narro and, at a terminal, plays the demo story in
#            narro-play, its data folder in the build tree; without a
#            terminal it runs the narro tool's self-check.
# make testhost  builds and starts NarroTest in the terminal, its data
#                folder in the build tree.
# make test  builds and runs every test, then again under AddressSanitizer
#            and UndefinedBehaviorSanitizer.
# make install   builds and installs into the configured prefix
#                (/usr/local unless build/ was configured otherwise).
# Each installs the Debian packages it needs first.

JOBS ?= $(shell nproc)
# The end-to-end tests spend most of their time waiting on speech played at
# its real pace, not on the processor: four at a time per core.
TEST_JOBS ?= $(shell echo $$(( $$(nproc) * 4 )))
# NARRO_WERROR=ON (CI sets it) makes every warning an error.
CMAKE_FLAGS = $(if $(NARRO_WERROR),-DNARRO_WERROR=$(NARRO_WERROR))
BUILD ?= build
ASAN_BUILD ?= build-asan

.PHONY: all run testhost test deps build build-asan bench install clean

DEMO_STORY = $(BUILD)/stories/windfall.z5

# The first target, what a bare make does: build, and nothing interactive.
all: build

run: build
	@# narro-play needs a terminal; without one the self-check is all.
	@if [ -t 0 ] && [ -t 1 ]; then \
	  mkdir -p $(BUILD)/player-data && \
	  NARRO_DATA_DIR=$(abspath $(BUILD))/player-data $(BUILD)/player/narro-play $(DEMO_STORY); \
	else \
	  $(BUILD)/tools/narro/narro self-check; \
	fi

testhost: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target NarroTest
	@mkdir -p $(BUILD)/testhost-data
	@# DONE ends NarroTest with exit code 2, its command's id: not a failure.
	NARRO_DATA_DIR=$(abspath $(BUILD))/testhost-data $(BUILD)/testhost/NarroTest || [ $$? -eq 2 ]

# The sanitizer build is made at the lowest priority while the first
# build's tests run, since those mostly wait on speech played at its real
# pace; its output goes to a log, shown when it fails.
test: build
	@rm -f $(BUILD)/asan-build.log
	@nice -n 19 $(MAKE) --no-print-directory build-asan > $(BUILD)/asan-build.log 2>&1 & \
	  builder=$$!; \
	  (cd $(BUILD) && ctest --output-on-failure -j$(TEST_JOBS)); tested=$$?; \
	  wait $$builder; built=$$?; \
	  if [ $$built -ne 0 ]; then cat $(BUILD)/asan-build.log; \
	    echo "The AddressSanitizer build failed (its log: $(BUILD)/asan-build.log)."; fi; \
	  [ $$tested -eq 0 ] && [ $$built -eq 0 ]
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j$(TEST_JOBS)

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# Line tables are all the sanitizers' reports need of the debug information.
build-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DNARRO_SANITIZE=ON \
	  -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1 $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)

# The benchmarks are built only here: the tests never run them.
bench: build
	@cmake -S . -B $(BUILD) -DNARRO_BUILD_BENCHES=ON >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target narro_benches
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
