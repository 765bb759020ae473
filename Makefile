# Entry points for people and CI. Build settings live in CMakePresets.json.
.DEFAULT_GOAL := build

CMAKE ?= cmake
CTEST ?= ctest
SIM   := build/release/sim/velorin-sim
BENCH := build/release/bench/velorin-bench
ARGS  ?=
IDLE  ?= 1m

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

# The live window (SDL2); ARGS adds options, e.g. make run ARGS="--scenario examples/plug.scn".
run: build
	$(SIM) --window $(ARGS)

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

# Every figure of BENCHMARKS.md beside its target; IDLE=10m measures the idle cost as recorded there.
bench: build
	IDLE=$(IDLE) tools/bench.sh build/release

clean:
	rm -rf build out
