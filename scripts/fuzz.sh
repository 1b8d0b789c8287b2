#!/usr/bin/env bash
# Fuzzes the readers of outside bytes with libFuzzer, in a clang build of its own (build-fuzz/).
#   scripts/fuzz.sh TARGET [SECONDS]   replays TARGET's regression inputs, then fuzzes it
#                                      (60 s unless told); new inputs go to build-fuzz/corpus/
#   scripts/fuzz.sh --brief [SECONDS]  every target for a few seconds (5 unless told) on a
#                                      fresh copy of its seeds, after its regression inputs
#   scripts/fuzz.sh --list             the targets
# The committed seeds (fuzz/corpus/TARGET) are only read. A crash, a hang (10 s for one input)
# or a sanitizer report stops the run with a failure; the input is kept in
# build-fuzz/artifacts/TARGET/ and belongs in fuzz/regressions/TARGET/ once the reader is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=()
for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done

usage() {
  echo "usage: scripts/fuzz.sh TARGET [SECONDS] | --brief [SECONDS] | --list" >&2
  echo "targets: ${targets[*]}" >&2
  exit 2
}

build() {
  if [ ! -f build-fuzz/CMakeCache.txt ]; then
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRV_BUILD_FUZZERS=ON -DRV_BUILD_TESTS=OFF >/dev/null
  fi
  cmake --build build-fuzz --target "$@"
}

# Reports name files and lines when clang's symbolizer is there (Debian's llvm-14).
if [ -x /usr/lib/llvm-14/bin/llvm-symbolizer ]; then
  export ASAN_SYMBOLIZER_PATH="${ASAN_SYMBOLIZER_PATH:-/usr/lib/llvm-14/bin/llvm-symbolizer}"
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

# replay TARGET: every kept input that once broke the reader, run once each.
replay() {
  local target="$1"
  local inputs=(fuzz/regressions/"$target"/*)
  [ -e "${inputs[0]}" ] || return 0
  echo "$target: replaying ${#inputs[@]} regression input(s)"
  build-fuzz/fuzz/"$target" "${inputs[@]}" >"build-fuzz/fuzz/$target.replay.log" 2>&1 || {
    cat "build-fuzz/fuzz/$target.replay.log" >&2
    echo "$target: a regression input fails again" >&2
    return 1
  }
}

# run TARGET SECONDS WORK_CORPUS: fuzzes, printing libFuzzer's final numbers.
run() {
  local target="$1" seconds="$2" work="$3"
  local artifacts="build-fuzz/artifacts/$target/"
  local log="build-fuzz/fuzz/$target.log"
  local dict=()
  [ -f "fuzz/dict/$target.dict" ] && dict=(-dict="fuzz/dict/$target.dict")
  mkdir -p "$work" "$artifacts"
  if ! build-fuzz/fuzz/"$target" "$work" "fuzz/corpus/$target" "${dict[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "$target: FAILED (input kept in $artifacts)" >&2
    return 1
  fi
  local runs per_second
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  per_second="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")"
  echo "$target: ${runs} runs in ${seconds} s (${per_second}/s), no crash, hang or sanitizer report"
}

case "${1:-}" in
  --list)
    printf '%s\n' "${targets[@]}"
    ;;
  --brief)
    seconds="${2:-5}"
    build "${targets[@]}"
    scratch="$(mktemp -d)"
    trap 'rm -rf "$scratch"' EXIT
    for target in "${targets[@]}"; do
      replay "$target"
      run "$target" "$seconds" "$scratch/$target"
    done
    ;;
  "" | -*)
    usage
    ;;
  *)
    target="$1"
    seconds="${2:-60}"
    [ -d "fuzz/corpus/$target" ] || usage
    build "$target"
    replay "$target"
    run "$target" "$seconds" "build-fuzz/corpus/$target"
    ;;
esac
