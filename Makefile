# Entry points for people and CI. Build settings live in CMakePresets.json.
.DEFAULT_GOAL := build

CMAKE ?= cmake
CTEST ?= ctest
SIM   := build/release/sim/velorin-sim
BENCH := build/release/bench/velorin-bench
ARGS  ?=

# GCC 12's ThreadSanitizer dies with "unexpected memory mapping" on kernels with high ASLR
# entropy, so the TSan steps run without address randomisation wherever setarch allows it
# (test discovery runs the test programs during the build, so the build needs it too).
TSAN_WRAP ?= $(shell setarch $$(uname -m) -R true 2>/dev/null && echo setarch $$(uname -m) -R)

# Configure only once: afterwards `cmake --build` re-runs CMake itself when a CMakeLists changes.
configure = test -f build/$(1)/build.ninja || $(CMAKE) --preset $(1)

.PHONY: setup build demo run test bench clean

setup:
	@tools/setup.sh

build: setup
	@$(call configure,release)
	$(CMAKE) --build --preset release

demo: build
	$(SIM)

run: build
	$(SIM) $(ARGS)

test: setup
	@$(call configure,release)
	$(CMAKE) --build --preset release
	$(CTEST) --preset release
	@$(call configure,asan)
	$(CMAKE) --build --preset asan
	$(CTEST) --preset asan
	@$(call configure,tsan)
	$(TSAN_WRAP) $(CMAKE) --build --preset tsan
	$(TSAN_WRAP) $(CTEST) --preset tsan

bench: build
	$(BENCH)

clean:
	rm -rf build out
