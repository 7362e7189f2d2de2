#!/usr/bin/env bash
# Runs one fuzz target longer than the test command does, over its seeds and regressions:
#   scripts/fuzz.sh TARGET SECONDS      (TARGET: package, dib, commandline, windowlist)
# New inputs go to build/fuzz-work/TARGET; an input that fails is kept in build/fuzz-crashes/
# (copy it to tests/fuzz/regressions/TARGET/ once fixed, so every run tries it again).
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?target}
seconds=${2:?seconds}
scripts/setup.sh
scripts/build.sh fuzz
work="build/fuzz-work/$target"
mkdir -p "$work" build/fuzz-crashes
seeds=(tests/fuzz/corpus/"$target")
[ -d "tests/fuzz/regressions/$target" ] && seeds+=("tests/fuzz/regressions/$target")
echo "[fuzz] $target for $seconds s"
ASAN_OPTIONS=detect_leaks=1 "build/fuzz/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
  -print_final_stats=1 -artifact_prefix="build/fuzz-crashes/$target-" "$work" "${seeds[@]}"
