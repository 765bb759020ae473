#!/usr/bin/env bash
# Fuzzes the .reg loader and the scenario parser with libFuzzer, each for FUZZ_SECONDS (60 by
# default), starting from the committed corpus and dictionary under fuzz/. Fails on any finding
# and prints the input that caused it. Needs clang (tools/packages.txt).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-build/fuzz}
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

# Only the two programs and what they link are built; the rest of the tree is configured only.
# Line tables are all a finding's stack needs, and the device compiles a few files to a unit, as
# in the sanitizer builds.
test -f "$build/build.ninja" || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_UNITY_BUILD=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DVELORIN_FUZZ=ON -DVELORIN_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build "$build" --target fuzz_reg_file fuzz_scenario

# Both at once, one a core; each reports when both are done.
targets=(reg_file scenario)
pids=()
for target in "${targets[@]}"; do
  work="$build/work/$target"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  echo "fuzz: $target for ${seconds}s"
  # New inputs go to the work folder; the committed corpus is only read.
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -dict="fuzz/$target.dict" -artifact_prefix="$work/findings/" -print_final_stats=1 \
    "$work/corpus" "fuzz/corpus/$target" >"$work/log" 2>&1 &
  pids+=($!)
done

status=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  work="$build/work/$target"
  if ! wait "${pids[$i]}"; then
    status=1
    # libFuzzer's seed for this run: -seed=N with the same corpus replays it.
    grep -m1 "INFO: Seed:" "$work/log" | sed "s/^/fuzz: $target: /" || true
    tail -n 60 "$work/log"
    for input in "$work/findings"/*; do
      [[ -f $input ]] || continue
      echo "fuzz: $target failed on $input; the input, as base64:"
      base64 "$input"
      echo "fuzz: and as text:"
      cat -v "$input"
      echo
    done
  else
    grep -m1 "INFO: Seed:" "$work/log" | sed "s/^/fuzz: $target: /" || true
    grep -E "^(stat::number_of_executed_units|stat::new_units_added)" "$work/log" | sed "s/^/fuzz: $target: /"
  fi
done
exit $status
