# Two entry points for a fresh Debian 12 machine (as root):
#   make run   - install what is missing, build, open Velkor's window
#   make test  - install what is missing, build, run the whole suite
# The sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) has its
# own pair of targets: make build-asan, make test-asan.

JOBS   ?= $(shell nproc 2>/dev/null || echo 2)
BUILD  ?= build
ASAN   ?= build-asan

# Mesa keeps a few allocations for the life of the process; the suppressions
# file names them so that LeakSanitizer judges only our own code.
SAN_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
          LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
          UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: run test deps build build-asan test-asan clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

# Opens the simulator's window. Without a display the program says in one
# line how to run it under Xvfb or off-screen.
run: build
	./$(BUILD)/app/velkor

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DVELKOR_SANITIZE=ON -DVELKOR_BENCH=OFF
	cmake --build $(ASAN) -j $(JOBS)

test-asan: build-asan
	cd $(ASAN) && $(SAN_ENV) ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN)
