# One command each for a newcomer: `make`, `make test`, `make run`.
# Missing Debian packages are installed first (needs root, as on our machines).
# `make asan` runs the tests under AddressSanitizer and UBSan, `make tsan` the
# tests of the batch (several files at once) and of overlapping runs under
# ThreadSanitizer, `make fuzz` each fuzz target for a short while; CI runs all
# of them. `make bench` prints the performance table of the README
# (`make bench BASELINE=path/to/other/pellumar-cli` adds that build's rows).
# `make package` builds the Debian package build/pellumar_<version>_amd64.deb
# and checks it with lintian;
# `make package-test` installs it on this machine, tries it and removes it.

BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc)

PACKAGES := g++ cmake make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
            libcli11-dev libdtl-dev libbenchmark-dev clang libclang-rt-14-dev llvm-14 xvfb xauth \
            dpkg-dev file desktop-file-utils appstream lintian clang-format

ASAN_BUILD   ?= build-asan
TSAN_BUILD   ?= build-tsan
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 5
BENCH_BUILD  ?= build-bench
PACKAGE_BUILD ?= build-package
# The compiler and linker flags of a Debian package build, every hardening on.
DEB_FLAGS := DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
FUZZ_TARGETS := $(basename $(notdir $(wildcard fuzz/*.cpp)))

# Leaks count as failures; any UBSan finding stops the program.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
                 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Any data race fails the test that shows it.
TSAN_ENV      := TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
# The tests where threads or processes share work or files.
TSAN_TESTS    := RunBatchTest|RunsOnOneFile.*TwoAtOnce

.PHONY: all build deps test run clean asan tsan fuzz bench package package-test format-check

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:$$missing"; \
	  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display here, so the window cannot open."; \
	  echo "Clean files from the command line instead, e.g.:"; \
	  echo "  cd examples && ../$(BUILD)/pellumar-cli --all movie.srt"; \
	  exit 1; \
	fi
	cd examples && ../$(BUILD)/pellumar

asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DPELLUMAR_SANITIZE=ON
	$(SANITIZER_ENV) cmake --build $(ASAN_BUILD) -j $(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DPELLUMAR_WINDOW=OFF \
	  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target processing_tests cli_tests
	$(TSAN_ENV) ctest --test-dir $(TSAN_BUILD) --output-on-failure -j $(JOBS) -R '$(TSAN_TESTS)'

# Each target starts from its seeds in fuzz/corpus/ and what earlier runs here
# found; a crash leaves its input in $(FUZZ_BUILD)/artifacts/<target>/.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_CXX_COMPILER=clang++ \
	  -DPELLUMAR_FUZZ=ON -DPELLUMAR_TESTS=OFF -DPELLUMAR_WINDOW=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/artifacts/$$t $(FUZZ_BUILD)/logs; \
	  log=$(FUZZ_BUILD)/logs/$$t.log; \
	  if $(SANITIZER_ENV) $(FUZZ_BUILD)/fuzz/fuzz_$$t $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t \
	       -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
	       -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t/ > $$log 2>&1; then \
	    printf '%-28s %10s runs  %s\n' $$t \
	      "$$(sed -n 's/^stat::number_of_executed_units: *//p' $$log)" \
	      "$$(grep -o 'cov: [0-9]* ft: [0-9]*' $$log | tail -1)"; \
	  else \
	    tail -n 60 $$log; echo "fuzz target $$t failed; its input is in $(FUZZ_BUILD)/artifacts/$$t/"; \
	    exit 1; \
	  fi; \
	done

# A release build of the cleaner and the tools in bench/; the corpus is written
# to $(BENCH_BUILD)/corpus the first time (about 240 MB).
bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DPELLUMAR_BENCH=ON \
	  -DPELLUMAR_WINDOW=OFF -DPELLUMAR_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS) \
	  --target pellumar-cli make_corpus line_copy measure
	BASELINE=$(BASELINE) bench/run_bench.sh $(BENCH_BUILD)

# Its own build folder: installed below /usr, with Debian's hardening flags.
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DPELLUMAR_TESTS=OFF \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)"
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB
	mkdir -p $(BUILD)
	cp $(PACKAGE_BUILD)/pellumar_*_amd64.deb $(BUILD)/
	lintian --fail-on error $(BUILD)/pellumar_*_amd64.deb

package-test: package
	tests/package/install_test.sh $(BUILD)/pellumar_*_amd64.deb

# Every C++ file as the project's .clang-format has it.
format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) $(PACKAGE_BUILD)
