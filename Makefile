# Two commands do all set-up on a fresh Debian machine: `make run` and `make test`.
BUILD      ?= build
SANITIZE   ?= OFF
JOBS       ?= 2
CMAKE_ARGS ?=
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=

.PHONY: deps configure build test run package clean bench fuzz

deps:
	@./tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVERN_SANITIZE=$(SANITIZE) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@./tools/run-talvern.sh $(BUILD)/bin

# The Debian package, $(BUILD)/talvern_VERSION_ARCH.deb (install it with apt-get install ./FILE).
package: build
	@cd $(BUILD) && cpack -G DEB

bench: deps
	@cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVERN_BUILD_BENCH=ON -DTALVERN_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(BUILD)-bench -j $(JOBS)
	-@$(BUILD)-bench/bin/talvern_wire_bench
	@$(BUILD)-bench/bin/talvern_report_bench
	@$(BUILD)-bench/bin/talvern_graph_bench

# The fuzz targets of fuzz/, built with clang under AddressSanitizer and UBSan in $(BUILD)-fuzz,
# each run for FUZZ_SECONDS (FUZZ_TARGETS names some; all by default).
fuzz: deps
	@cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTALVERN_BUILD_FUZZ=ON -DTALVERN_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(BUILD)-fuzz -j $(JOBS) --target talvern_fuzz
	@./fuzz/run.sh $(BUILD)-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	@rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-fuzz
