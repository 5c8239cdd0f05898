#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and runs
# each for a given time, one after another, then reports executions and findings per target.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     SECONDS per target, default 60; default every fuzz/fuzz_*.cpp
#
# Each target grows its own corpus in <build>/fuzz/corpus/<target>/, starting from the seeds in
# tests/fuzz/corpus/<target>/ (read only) and fuzz/<target>.dict when there is one. Crashing, leaking,
# hanging or memory-hungry inputs land in <build>/fuzz/findings/<target>/; a target stops at its first
# finding. The build folder is build-fuzz unless PLINKOR_FUZZ_BUILD names another; CC and CXX default to
# clang-14. Exit status 1 when any target had a finding.
set -uo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2
  exit 2
fi
build="${PLINKOR_FUZZ_BUILD:-build-fuzz}"

export CC="${CC:-clang-14}" CXX="${CXX:-clang++-14}"
mkdir -p "$build/fuzz"
if ! cmake -S . -B "$build" -DPLINKOR_FUZZ=ON -DPLINKOR_TESTS=OFF -DPLINKOR_BENCH=OFF >"$build/fuzz/configure.log" 2>&1; then
  cat "$build/fuzz/configure.log" >&2
  exit 2
fi
if ! cmake --build "$build" --target fuzz_all -j2 >"$build/fuzz/build.log" 2>&1; then
  tail -n 40 "$build/fuzz/build.log" >&2
  exit 2
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

found=0
report=()
for target in "${targets[@]}"; do
  program="$build/fuzz/$target"
  if [ ! -x "$program" ]; then
    echo "no such target: $target" >&2
    exit 2
  fi
  corpus="$build/fuzz/corpus/$target"
  findings="$build/fuzz/findings/$target"
  log="$build/fuzz/$target.log"
  mkdir -p "$corpus" "$findings"
  inputs=("$corpus")
  [ -d "tests/fuzz/corpus/$target" ] && inputs+=("tests/fuzz/corpus/$target")
  # Decoders chatter on stderr (libpng warnings); libFuzzer and the sanitizers keep their own channel.
  options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 -close_fd_mask=2
           -artifact_prefix="$findings/")
  [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")

  before=$(find "$findings" -type f | sort)
  echo "== $target: $seconds s"
  "$program" "${options[@]}" "${inputs[@]}" >"$log" 2>&1
  status=$?
  fresh=$(comm -13 <(echo "$before") <(find "$findings" -type f | sort) | sed '/^$/d')
  new=$(grep -c . <<<"$fresh")

  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
  coverage=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  units=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
  if [ "$new" -eq 0 ] && [ "$status" -ne 0 ]; then
    # Stopped without leaving an input behind: count it all the same, the log says why.
    new=1
  fi
  if [ "$new" -gt 0 ]; then
    found=1
    grep -m 1 -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error|ALARM|==[0-9]+== ERROR)' "$log" | sed 's/^/   /'
    [ -n "$fresh" ] && sed 's/^/   input: /' <<<"$fresh"
    echo "   log: $log"
  fi
  report+=("$(printf '%-22s %6s s %12s %9s %7s %7s %9s' "$target" "$seconds" "${executions:-?}" \
             "${rate:-?}" "${coverage:-?}" "${units:-?}" "$new")")
done

echo
printf '%-22s %8s %12s %9s %7s %7s %9s\n' target time executions "exec/s" cover corpus findings
for line in "${report[@]}"; do
  echo "$line"
done
exit "$found"
