# The two everyday commands are `make play` and `make test`; CMake does the work.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: all deps build play edit test test-asan bench clean

all: build

deps:
	@sh scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	@cmake --build $(BUILD) -j $(JOBS)

play: build
	cd $(BUILD)/game && ./quillmere

edit: build
	cd $(BUILD)/game && ./roomedit

test: build
	cd $(BUILD) && ctest --output-on-failure -j 1

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQM_SANITIZE=ON > /dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target unit_test_programs
	cd $(ASAN_BUILD) && ctest --output-on-failure -L unit

bench: build
	@cmake --build $(BUILD) -j $(JOBS) --target benches
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
