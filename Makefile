# Quick start: `make run` opens the program, `make test` runs every test, `make bench` measures speed.
# Both first install whatever system packages are missing (Debian, as root or through sudo).

BUILD_DIR := build
ASAN_DIR := build-asan
JOBS := $(shell nproc 2>/dev/null || echo 2)
# Warnings are errors in CI.
WERROR := $(if $(CI),ON,OFF)
CMAKE_FLAGS := -DLORVANE_WARNINGS_AS_ERRORS=$(WERROR)

.PHONY: all deps build run test test-release test-asan bench clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) --parallel $(JOBS)

run: build
	./$(BUILD_DIR)/lorvane01

test: test-release

test-release: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel $(JOBS)

# Medians of many repetitions, so that a busy moment on the machine does not decide the figures.
BENCH_REPETITIONS := 25
BENCH_MIN_TIME := 0.2
bench: build
	./$(BUILD_DIR)/lorvane_bench --benchmark_repetitions=$(BENCH_REPETITIONS) \
		--benchmark_min_time=$(BENCH_MIN_TIME) --benchmark_display_aggregates_only=true \
		--benchmark_out=$(BUILD_DIR)/bench.json --benchmark_out_format=json

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
