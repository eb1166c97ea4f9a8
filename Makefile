# Two entry points for a fresh Debian 12 machine (as root):
#   make run   - install what is missing, build, open Velkor's window
#   make test  - install what is missing, build, run the whole suite
# The sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer, with
# clang) has its own pair of targets: make build-asan, make test-asan; the
# optimised gcc build another: make build-release, make test-release.
#   make format      - rewrite every tracked .cpp/.h with clang-format
#   make test-ratio  - lines of tests per line of code, per folder
#
# Warnings are errors under CI=true (set by .ci/run) or with WERROR=ON; a
# user's build only prints them, so that a newer compiler cannot stop it.

JOBS   ?= $(shell nproc 2>/dev/null || echo 2)
BUILD  ?= build
ASAN   ?= build-asan
RELEASE ?= build-release
WERROR ?= $(if $(filter true 1 yes,$(CI)),ON,OFF)

# ccache, when it is installed, keeps repeated CI builds short.
LAUNCHER = $(if $(shell command -v ccache 2>/dev/null),\
             -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CONFIGURE = cmake -DVELKOR_WERROR=$(WERROR) $(LAUNCHER)

# Mesa keeps a few allocations for the life of the process; the suppressions
# file names them so that LeakSanitizer judges only our own code.
SAN_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
          LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
          UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: run test deps build build-asan test-asan build-release test-release format test-ratio clean

deps:
	bash scripts/install-deps.sh

build: deps
	$(CONFIGURE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

# Opens the simulator's window. Without a display the program says in one
# line how to run it under Xvfb or off-screen.
run: build
	./$(BUILD)/app/velkor

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

build-asan: deps
	$(CONFIGURE) -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DVELKOR_SANITIZE=ON -DVELKOR_BENCH=OFF \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(ASAN) -j $(JOBS)

test-asan: build-asan
	cd $(ASAN) && $(SAN_ENV) ctest --output-on-failure -j $(JOBS)

build-release: deps
	$(CONFIGURE) -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
	cmake --build $(RELEASE) -j $(JOBS)

test-release: build-release
	cd $(RELEASE) && ctest --output-on-failure -j $(JOBS)

format:
	@command -v clang-format >/dev/null || { echo "clang-format missing: bash scripts/install-deps.sh"; exit 1; }
	git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format -i --style=file

test-ratio:
	bash scripts/test-ratio.sh

clean:
	rm -rf $(BUILD) $(ASAN) $(RELEASE)
