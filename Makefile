# Quick start: `make run` opens the program, `make test` runs every test, `make bench` measures speed.
# Both first install whatever system packages are missing (Debian, as root or through sudo).

BUILD_DIR := build
ASAN_DIR := build-asan
JOBS := $(shell nproc 2>/dev/null || echo 2)
# Warnings are errors in CI.
WERROR := $(if $(CI),ON,OFF)
# compile_commands.json in each build folder is what clang-tidy reads (`make lint`).
CMAKE_FLAGS := -DLORVANE_WARNINGS_AS_ERRORS=$(WERROR) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON

# A sanitizer report stops the test at once and fails it.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# The window opened offscreen, 20 pictures and "exit", under valgrind's memcheck: any invalid
# read or write, use of an uninitialised value or definitely lost block fails it.
MEMCHECK_TEST := Form1.TwentyPicturesInTheWindowThenExit
VALGRIND_FLAGS := --tool=memcheck --error-exitcode=1 --track-origins=yes --leak-check=full \
	--show-leak-kinds=definite --errors-for-leak-kinds=definite

.PHONY: all deps build build-asan run test test-release test-asan memcheck lint lint-format lint-tidy bench install package clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) --parallel $(JOBS)

run: build
	./$(BUILD_DIR)/lorvane01

# Every test runs twice: in the Release build and with AddressSanitizer and UndefinedBehaviorSanitizer.
test: test-release test-asan

test-release: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLORVANE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) --parallel $(JOBS)

test-asan: build-asan
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure --parallel $(JOBS)

memcheck: build
	@tools/install-deps.sh valgrind
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen valgrind $(VALGRIND_FLAGS) \
		./tests/lorvane_reliability_tests --gtest_filter=$(MEMCHECK_TEST)

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

# Both programs, the menu entry, icon, metainfo, man pages and bash completion under PREFIX;
# DESTDIR=/some/folder stages them there instead, as packagers do.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# The Debian package: build/lorvane01_<version>-1_amd64.deb.
package: build
	cmake --build $(BUILD_DIR) --target package

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
