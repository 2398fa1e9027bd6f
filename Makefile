# One command each for a newcomer: `make`, `make test`, `make run`.
# Missing Debian packages are installed first (needs root, as on our machines).

BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc)

PACKAGES := g++ cmake make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
            libcli11-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xauth

.PHONY: all build deps test run clean

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

clean:
	rm -rf $(BUILD)
