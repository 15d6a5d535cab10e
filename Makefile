# The two everyday commands are `make play` and `make test`; CMake does the work.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
# Seconds each fuzz target runs: `make fuzz` for a long search, `make test`
# for a short one.
FUZZ_SECONDS      ?= 600
TEST_FUZZ_SECONDS ?= 4
SOAK_TICKS        ?= 200000
# Where `make install` puts the game (the package uses /usr).
PREFIX            ?= /usr/local

.PHONY: all deps build play edit test test-asan soak fuzz fuzz-build bench docs installed-files install package clean

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

# The read-me's pictures in docs/, drawn from the content by the game's code.
docs: build
	@cmake --build $(BUILD) --target docs

# Only what is installed is built: the game folder, icons, manual page.
installed-files: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target game_folder install_files

install: installed-files
	cmake --install $(BUILD) --prefix $(PREFIX)

# quillmere_VERSION_ARCH.deb in this folder.
package: installed-files
	cd $(BUILD) && cpack -G DEB -B $(CURDIR) > /dev/null
	@rm -rf _CPack_Packages
	@ls quillmere_*.deb

test: build
	cd $(BUILD) && ctest --output-on-failure -j 1
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(TEST_FUZZ_SECONDS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQM_SANITIZE=ON > /dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target unit_test_programs
	cd $(ASAN_BUILD) && ctest --output-on-failure -L unit

# The long soak, with the sanitizers and leak checking.
soak: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQM_SANITIZE=ON > /dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target soak
	$(ASAN_BUILD)/tests/soak $(ASAN_BUILD)/game $(SOAK_TICKS) 1

# Fuzz targets are built with clang's libFuzzer, the sanitizers on.
fuzz-build: deps
	@CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_FUZZ=ON > /dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets

fuzz: fuzz-build
	@sh tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	@cmake --build $(BUILD) -j $(JOBS) --target benches
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
