# Quick start: `make run` opens the program, `make test` runs every test, `make bench` measures speed.
# Both first install whatever system packages are missing (Debian, as root or through sudo).

# The build folders of the presets in CMakePresets.json (release, asan, tsan, fuzz, web).
BUILD_DIR := build
ASAN_DIR := build-asan
TSAN_DIR := build-tsan
FUZZ_DIR := build-fuzz
JOBS := $(shell nproc 2>/dev/null || echo 2)
# Warnings are errors in CI.
WERROR := $(if $(CI),ON,OFF)
CMAKE_FLAGS := -DLORVANE_WARNINGS_AS_ERRORS=$(WERROR)

# A sanitizer report stops the test at once and fails it.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

# The window opened offscreen, 20 pictures and "exit", under valgrind's memcheck: any invalid
# read or write, use of an uninitialised value or definitely lost block fails it.
MEMCHECK_TEST := Form1.TwentyPicturesInTheWindowThenExit
VALGRIND_FLAGS := --tool=memcheck --error-exitcode=1 --track-origins=yes --leak-check=full \
	--show-leak-kinds=definite --errors-for-leak-kinds=definite

.PHONY: all deps build build-asan build-tsan run test test-release test-asan test-tsan test-web web web-test-deps web-bench memcheck fuzz lint lint-format lint-tidy bench install package clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	cmake --preset release $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) --parallel $(JOBS)

run: build
	./$(BUILD_DIR)/lorvane01

# Every test runs twice: in the Release build and with AddressSanitizer and UndefinedBehaviorSanitizer;
# then the web page's tests.
test: test-release test-asan test-web

test-release: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel $(JOBS)

build-asan: deps
	cmake --preset asan $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) --parallel $(JOBS)

test-asan: build-asan
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure --parallel $(JOBS)

# lorvane01-render's threads under ThreadSanitizer: the saving pool, alone and through
# BatchWriter, the batches and the signal tests, in the program and in its tests. The suppressions
# are for libraries built without ThreadSanitizer, each explained in the file.
# The build runs its tools (the icon's drawing and cutting) with the same options.
TSAN_OPTIONS := halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp
TSAN_TESTS := BatchWriter\.|SavingPool\.|Lorvane01Render\.
build-tsan: deps
	cmake --preset tsan $(CMAKE_FLAGS)
	TSAN_OPTIONS="$(TSAN_OPTIONS)" cmake --build $(TSAN_DIR) --target lorvane01-render render_tests --parallel $(JOBS)

test-tsan: build-tsan
	cd $(TSAN_DIR) && QT_QPA_PLATFORM=offscreen \
		TSAN_OPTIONS="$(TSAN_OPTIONS)" \
		ctest --output-on-failure --parallel $(JOBS) -R '$(TSAN_TESTS)'

# libFuzzer, with clang: each target runs SECONDS seconds from a corpus of real files that the
# Release build's lorvane01-render makes. Anything found is written to $(FUZZ_DIR) as crash-*.
SECONDS ?= 60
FUZZERS := recipe_parser_fuzzer recipe_reader_fuzzer
fuzz: build
	@tools/install-deps.sh clang libclang-rt-14-dev
	cmake --preset fuzz
	cmake --build $(FUZZ_DIR) --target $(FUZZERS) --parallel $(JOBS)
	tools/fuzz-corpus.sh $(BUILD_DIR)/lorvane01-render $(FUZZ_DIR)/corpus
	cd $(FUZZ_DIR) && for fuzzer in $(FUZZERS); do \
		./fuzz/$$fuzzer corpus/$$fuzzer -max_total_time=$(SECONDS) -print_final_stats=1 || exit 1; \
	done

memcheck: build
	@tools/install-deps.sh valgrind
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen valgrind $(VALGRIND_FLAGS) \
		./tests/app_tests --gtest_filter=$(MEMCHECK_TEST)

# Our own tracked C++ files only: nothing under build folders, no generated moc files.
LINT_SOURCES = $(shell git ls-files '*.cpp')
LINT_FILES = $(shell git ls-files '*.cpp' '*.h')

# Layout (.clang-format) and static checks (.clang-tidy); any finding fails. Run `clang-format -i`
# on a file to take the layout; clang-tidy reads the Release build's compile_commands.json.
lint: lint-format lint-tidy

lint-format: deps
	clang-format --dry-run -Werror $(LINT_FILES)

# The compiler's own warnings are GCC's to report (as errors in CI); clang-tidy reports only its
# checks, whether or not the build it reads from treats warnings as errors.
lint-tidy: build
	printf '%s\n' $(LINT_SOURCES) | xargs -P $(JOBS) -n 1 clang-tidy -p $(BUILD_DIR) --quiet --extra-arg=-Wno-error

# Medians of many repetitions, so that a busy moment on the machine does not decide the figures;
# the repetitions of the four benchmarks are interleaved, so that such a moment hits them alike.
BENCH_REPETITIONS := 25
BENCH_MIN_TIME := 0.2
bench: build
	@tools/install-deps.sh xvfb
	./$(BUILD_DIR)/lorvane_bench --benchmark_repetitions=$(BENCH_REPETITIONS) \
		--benchmark_min_time=$(BENCH_MIN_TIME) --benchmark_enable_random_interleaving=true \
		--benchmark_display_aggregates_only=true \
		--benchmark_out=$(BUILD_DIR)/bench.json --benchmark_out_format=json

# The web page, build/web/: index.html, its module, the core as WebAssembly (Debian's emscripten)
# and the caption font, a static folder for any web server. em++'s own tools need Debian's node
# modules (acorn), whichever node is first on the PATH.
WASM_DIR := build-wasm
WEB_DIR := $(BUILD_DIR)/web
CAPTION_FONT := /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
EMSCRIPTEN_ENV := NODE_PATH=/usr/share/nodejs
WEB_FILES := web/index.html web/lorvane01.js web/core_answer.js web/page_keys.js web/picture_address.js web/picture_fit.js web/picture_painting.js web/png_file.js $(WASM_DIR)/web/lorvane01_core.js $(WASM_DIR)/web/lorvane01_core.wasm

web: deps
	@tools/install-deps.sh emscripten
	$(EMSCRIPTEN_ENV) emcmake cmake --preset web
	$(EMSCRIPTEN_ENV) cmake --build $(WASM_DIR) --parallel $(JOBS)
	mkdir -p $(WEB_DIR)
	cp $(WEB_FILES) $(CAPTION_FONT) $(WEB_DIR)/

# Headless Chromium (Debian's) driven by puppeteer-core, which downloads no browser; npm comes
# with node where node is not Debian's.
web-test-deps:
	@tools/install-deps.sh chromium $$(command -v npm >/dev/null || echo npm)
	@$(MAKE) --no-print-directory web/node_modules/.package-lock.json

web/node_modules/.package-lock.json: web/package-lock.json
	cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error

WEB_TEST_ENV := LORVANE_BUILD=$(BUILD_DIR) LORVANE_WASM=$(WASM_DIR) LORVANE_WEB=$(WEB_DIR)
# The WebAssembly core against the native one, then the page in headless Chromium against
# lorvane01-render.
test-web: build web web-test-deps
	$(WEB_TEST_ENV) node --test web/tests/core.test.mjs web/tests/page.test.mjs

# Load to first picture, next, and the size of what the page loads (not a test: figures only).
web-bench: web web-test-deps
	$(WEB_TEST_ENV) node web/tests/bench.mjs

# Both programs, the menu entry, icon, metainfo, man pages and bash completion under PREFIX;
# DESTDIR=/some/folder stages them there instead, as packagers do.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# The Debian package: build/lorvane01_<version>-1_amd64.deb.
package: build
	cmake --build $(BUILD_DIR) --target package

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(FUZZ_DIR) $(WASM_DIR)
