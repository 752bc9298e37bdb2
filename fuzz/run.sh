#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them (./dev fuzz runs this).
#   fuzz/run.sh [--merge] [TARGET] [SECONDS]   one target, or each in turn, SECONDS each (60)
#   fuzz/run.sh --list                         the targets
# The corpus of a target is fuzz/corpus/TARGET. New inputs the fuzzer finds
# go to a scratch folder (build-fuzz/findings/TARGET), not into the tree;
# with --merge the ones that add coverage are merged into the corpus
# (libFuzzer -merge=1). Crashes, timeouts and leaks are written to
# build-fuzz/artifacts/TARGET/ and listed at the end; the exit status is 1
# when there were any.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${KMX_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
JOBS="${KMX_FUZZ_JOBS:-$(nproc 2>/dev/null || echo 2)}"
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1

# Each target with the longest input worth trying for its format.
declare -A MAX_LEN=(
  [settings]=2048 [ini]=4096 [pe_version]=8192 [pricelist]=8192 [expression]=512
  [rtf]=16384 [registry]=8192 [qrp]=8192 [dbf]=8192
)
TARGETS=(settings ini pe_version pricelist expression rtf registry qrp dbf)

usage() {
  echo "usage: ./dev fuzz [--merge] [TARGET] [SECONDS] | ./dev fuzz --list" >&2
  echo "targets: ${TARGETS[*]}" >&2
  exit 2
}

merge=0 target="" seconds=60
while (($#)); do
  case "$1" in
    --list) printf '%s\n' "${TARGETS[@]}"; exit 0 ;;
    --merge) merge=1 ;;
    -h | --help) usage ;;
    -*) usage ;;
    *)
      if [[ -z "$target" && -v "MAX_LEN[$1]" ]]; then
        target="$1"
      elif [[ "$1" =~ ^[1-9][0-9]*$ ]]; then
        seconds="$1"
      else
        echo "unknown target or number of seconds: $1" >&2
        usage
      fi
      ;;
  esac
  shift
done

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
# Our own code compiled for coverage and with the sanitizers; the targets add
# the fuzzer's main themselves.
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
if ! CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKMX_WARNINGS_AS_ERRORS=ON -DKMX_BUILD_FUZZ=ON -DKMX_BUILD_TESTS=OFF -DKMX_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
if [[ -n "$target" ]]; then run=("$target"); else run=("${TARGETS[@]}"); fi
build_args=()
for t in "${run[@]}"; do build_args+=(--target "kmx-fuzz-$t"); done
cmake --build "$BUILD" -j"$JOBS" "${build_args[@]}"

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR="$(mktemp -d -t kmx-runtime.XXXXXX)"
chmod 0700 "$XDG_RUNTIME_DIR"
trap 'rm -f "$log"; rm -rf "$XDG_RUNTIME_DIR"' EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:check_initialization_order=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$ROOT/tools/sanitize/lsan.supp:print_suppressions=0}"

summary=() found=0
for t in "${run[@]}"; do
  corpus="$ROOT/fuzz/corpus/$t"
  findings="$BUILD/findings/$t"
  artifacts="$BUILD/artifacts/$t"
  mkdir -p "$findings" "$artifacts"
  echo "== $t: ${seconds}s, corpus $corpus, new inputs in $findings"
  status=0
  # The first folder takes the new inputs; the corpus in the tree is only read.
  "$BUILD/bin/kmx-fuzz-$t" -max_total_time="$seconds" -max_len="${MAX_LEN[$t]}" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$findings" "$corpus" 2>"$BUILD/fuzz-$t.log" || status=$?
  stats="$(grep -E '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$BUILD/fuzz-$t.log" |
    sed -E 's/^stat::([a-z_]+): *([0-9]+)/\1 \2/' | tr '\n' ' ')"
  crashes="$(find "$artifacts" -type f | wc -l)"
  if ((status != 0 || crashes > 0)); then
    found=1
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*invariant broken|.*runtime error)' "$BUILD/fuzz-$t.log" | head -5 || true
  fi
  summary+=("$t: exit $status, $stats, artifacts $crashes (log $BUILD/fuzz-$t.log)")
  if ((merge)); then
    "$BUILD/bin/kmx-fuzz-$t" -merge=1 -max_len="${MAX_LEN[$t]}" "$corpus" "$findings" >>"$BUILD/fuzz-$t.log" 2>&1
    echo "   merged into $corpus: $(find "$corpus" -type f | wc -l) files"
  fi
done

echo
echo "Summary:"
printf '  %s\n' "${summary[@]}"
if ((found)); then
  echo "Crash, timeout or leak inputs are in $BUILD/artifacts/; replay one with"
  echo "  $BUILD/bin/kmx-fuzz-TARGET FILE"
fi
exit "$found"
