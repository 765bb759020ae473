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

.PHONY: setup setup-win32 build sim demo run win32 test bench clean

setup:
	@tools/setup.sh

# The Win32 compiler and Wine come only with the Win32 build and the tests.
setup-win32:
	@tools/setup.sh tools/packages.txt tools/packages-win32.txt

build: setup
	@$(call configure,release)
	$(CMAKE) --build --preset release

# The simulator alone: the tests and benchmarks come with `make build` and `make test`.
sim: setup
	@$(call configure,release)
	$(CMAKE) --build --preset release --target velorin-sim

demo: sim
	$(SIM)

# The live window (SDL2); ARGS adds options, e.g. make run ARGS="--scenario examples/plug.scn".
run: sim
	$(SIM) --window $(ARGS)

# velorin.exe, its CE layer coredll.dll and the scenario player under Wine, in build/win32; the
# same for 32-bit x86 in build/win32-i686, the target's word size, which the tests run under
# 32-bit Wine.
win32: setup-win32
	@$(call configure,win32)
	$(CMAKE) --build --preset win32
	@$(call configure,win32-i686)
	$(CMAKE) --build --preset win32-i686

# The Win32 build first: the release tests run it under Wine. The release tree is configured
# again, since Wine may have come with the Win32 build after `make demo` configured it.
test: win32
	$(CMAKE) --preset release >/dev/null
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
