# Two entry points for a fresh Debian 12 machine (as root):
#   make run   - install what is missing, build, open Velkor's window
#   make test  - install what is missing, build, run the whole suite
# The sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer, with
# clang) has its own pair of targets: make build-asan, make test-asan; the
# optimised gcc build another: make build-release, make test-release.
#   make fuzz        - build the libFuzzer targets (clang, build-fuzz) and run
#                      each for FUZZ_SECONDS (default 60) on its corpus
#   make fuzz-ci     - the same, 20 s each with a fixed seed (CI)
#   make format      - rewrite every tracked .cpp/.h with clang-format
#   make test-ratio  - lines of tests per line of code, per folder
#   make bench       - Release build of the benchmarks in build-bench, then one
#                      table of the figures (not part of the suite or CI)
#   make soak        - 100,000 frames of random input through the whole program
#                      off-screen, invariants checked every frame (SOAK_SEED=N)
#   make web         - the browser build (emscripten): a static folder
#                      $(WEB)/site with index.html, velkor.js, velkor.wasm
#   make test-web    - that folder served on 127.0.0.1 and driven in headless
#                      Chromium against velkor --offscreen (needs make build)
#   make deb         - the Debian package velkor_<version>_<arch>.deb in this
#                      folder, built in build-deb with Debian's hardening flags
#   make test-package - as root: make deb, install the package, run it from the
#                      PATH, check its desktop entry, manual pages and lintian,
#                      remove it and check that nothing is left behind
#   make update-references - draw every reference scene again and write each
#                      picture that changed over its reference in
#                      tests/references/images (review them before committing)
#
# Warnings are errors under CI=true (set by .ci/run) or with WERROR=ON; a
# user's build only prints them, so that a newer compiler cannot stop it.

JOBS   ?= $(shell nproc 2>/dev/null || echo 2)
BUILD  ?= build
ASAN   ?= build-asan
RELEASE ?= build-release
BENCH  ?= build-bench
FUZZ_BUILD ?= build-fuzz
DEB_BUILD ?= build-deb
FUZZ_SECONDS ?= 60
WEB    ?= build-web
WERROR ?= $(if $(filter true 1 yes,$(CI)),ON,OFF)

# ccache, when it is installed, keeps repeated CI builds short.
LAUNCHER = $(if $(shell command -v ccache 2>/dev/null),\
             -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CONFIGURE = cmake -DVELKOR_WERROR=$(WERROR) $(LAUNCHER)

# Mesa keeps a few allocations for the life of the process; the suppressions
# file names them so that LeakSanitizer judges only our own code.
# intercept_tls_get_addr=0: clang 14's LeakSanitizer follows its own record of
# dynamic thread-local blocks, which goes stale after Mesa's driver threads
# come and go under Debian 12's glibc; its leak check then crashes at exit
# ("Tracer caught signal 11 ... DTLS at 0x818") in a run that did nothing
# wrong. Without the interception it scans static TLS and stacks only.
SAN_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:intercept_tls_get_addr=0 \
          LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
          UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: run test deps build build-asan test-asan build-release test-release bench format web test-web \
        test-ratio soak clean build-fuzz fuzz fuzz-ci deb test-package update-references

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

# The benchmarks need no GoogleTest; the table comes from scripts/bench-run.sh
# (BENCH_REPETITIONS=N changes the number of repetitions, 9 by default).
bench: deps
	$(CONFIGURE) -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DVELKOR_BENCH=ON -DBUILD_TESTING=OFF
	cmake --build $(BENCH) -j $(JOBS) --target panel_bench core_bench velkor velkor-trace
	bash scripts/bench-run.sh $(BENCH)

build-fuzz: deps
	$(CONFIGURE) -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_FUZZ=ON \
	  -DBUILD_TESTING=OFF -DVELKOR_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all

# Each target runs on a scratch copy of its seed corpus, so the checked-in
# corpus only grows by hand (a crash input saved as a regression seed).
fuzz: build-fuzz
	bash scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

fuzz-ci: build-fuzz
	bash scripts/run-fuzz.sh $(FUZZ_BUILD) 20 1

format:
	@command -v clang-format >/dev/null || { echo "clang-format missing: bash scripts/install-deps.sh"; exit 1; }
	git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format -i --style=file

web: deps
	$(MAKE) -f scripts/web.mk WEB=$(WEB) WERROR=$(WERROR) -j $(JOBS)

# The same event scripts in the page and off-screen: equal states, agreeing
# pictures; then a saved slot across a reload, an upload, and the figures
# (folder size, first frame, script time per frame).
test-web: web build
	python3 scripts/web-test.py $(WEB)/site $(BUILD)

SOAK_SEED ?= 1
soak: deps
	$(CONFIGURE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target velkor-soak
	./$(BUILD)/tools/velkor-soak --frames 100000 --seed $(SOAK_SEED)

test-ratio:
	bash scripts/test-ratio.sh

# The compiler and linker flags Debian builds its packages with (stack
# protector, fortified functions, read-only relocations bound at start);
# given on the command line so that they hold for an existing build folder.
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
  cflags="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CFLAGS)"; \
  cxxflags="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)"; \
  ldflags="$$(dpkg-buildflags --get LDFLAGS)"

deb: deps
	export $(DEB_FLAGS) && $(CONFIGURE) -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DBUILD_TESTING=OFF -DVELKOR_BENCH=OFF -DCMAKE_C_FLAGS="$$cflags" \
	  -DCMAKE_CXX_FLAGS="$$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$$ldflags"
	cmake --build $(DEB_BUILD) -j $(JOBS)
	rm -f velkor_*.deb $(DEB_BUILD)/velkor_*.deb
	cd $(DEB_BUILD) && cpack -G DEB
	cp $(DEB_BUILD)/velkor_*.deb .

test-package: deb
	bash tests/package/package_test.sh velkor_*.deb
# The suite's own comparison, told to write instead of compare; git then
# shows which pictures changed.
update-references: build
	cd $(BUILD) && VELKOR_UPDATE_REFERENCES=1 ctest -R '^references\.' -j $(JOBS) --output-on-failure
	git status --short -- tests/references/images

clean:
	rm -rf $(BUILD) $(ASAN) $(RELEASE) $(BENCH) $(FUZZ_BUILD) $(WEB) $(DEB_BUILD)
