#!/usr/bin/env bash
# Plants each fault of faults.txt, one at a time, in a copy of the tree, rebuilds, runs every test program
# and tables which tests catch it. The working tree is never touched.
#   tests/mutation/run.sh [-o FILE] [-l] [ID...]     (no ID: every fault; -l lists the faults)
# MUTATION_DIR scratch folder (default /tmp/plinkor-mutation-<user>-<tree>, kept for the next run),
# MUTATION_JOBS programs run at once (2), MUTATION_TIMEOUT seconds per program (600),
# MUTATION_XVFB=1 also runs the Xvfb scripts (tests/*/*.sh).
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true
tree=$(cd "$(dirname "$0")/../.." && pwd)
faults_file="$tree/tests/mutation/faults.txt"
work=${MUTATION_DIR:-/tmp/plinkor-mutation-$(id -un)-$(echo "$tree" | md5sum | cut -c1-8)}
jobs=${MUTATION_JOBS:-2}
limit=${MUTATION_TIMEOUT:-600}
out_file="$work/result.md"
list_only=0
while getopts "o:l" opt; do
  case $opt in
    o) out_file=$(realpath -m "$OPTARG") ;;
    l) list_only=1 ;;
    *) sed -n 2,7p "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
wanted=("$@")

# ---- The fault list: ids[], and per id its area, file, from, to, what ------------------------------
declare -A area file from to what
ids=()
while IFS= read -r line; do
  case $line in
    "id: "*) id=${line#id: }; ids+=("$id") ;;
    "area: "*) area[$id]=${line#area: } ;;
    "file: "*) file[$id]=${line#file: } ;;
    "from: "*) from[$id]=${line#from: } ;;
    "to: "*) to[$id]=${line#to: } ;;
    "what: "*) what[$id]=${line#what: } ;;
  esac
done <"$faults_file"
# found FILE ID: how many times the fault's text stands in FILE.
found() {
  local text rest
  text=$(cat "$1" 2>/dev/null || true)
  rest=${text//"${from[$2]}"/}
  echo $(( (${#text} - ${#rest}) / ${#from[$2]} ))
}
if [ $list_only = 1 ]; then
  for id in "${ids[@]}"; do
    printf '%-30s %-9s found %s  %s\n' "$id" "${area[$id]}" "$(found "$tree/${file[$id]}" "$id")" "${what[$id]}"
  done
  exit 0
fi
if [ ${#wanted[@]} -gt 0 ]; then
  for id in "${wanted[@]}"; do [ -n "${file[$id]:-}" ] || { echo "no fault $id in $faults_file" >&2; exit 2; }; done
  ids=("${wanted[@]}")
fi

# ---- A copy of the tree and one Release build without sanitizers --------------------------------
# Only files whose contents differ are copied, with a new time, so the build redoes only what changed.
mkdir -p "$work/tree" "$work/results"
excludes=(--exclude=/.git --exclude='/build*/')
for d in "$tree"/*/; do
  [ -f "$d/CMakeCache.txt" ] && excludes+=(--exclude="/$(basename "$d")/")
done
rsync -rlp --checksum --delete "${excludes[@]}" "$tree/" "$work/tree/"
commit=$(git -C "$tree" rev-parse --short HEAD 2>/dev/null || echo unknown)
git -C "$tree" diff --quiet HEAD 2>/dev/null || commit="$commit with local changes"
build="$work/build"
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=/
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$work/tree" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPLINKOR_SANITIZE=OFF -DPLINKOR_WERROR=OFF \
    -DPLINKOR_BENCH=OFF -DPLINKOR_TESTS=ON >"$work/configure.log"
fi
programs=$(cmake --build "$build" --target help | sed -n 's/^\.\.\. \(test_[a-z]*\)$/\1/p' | grep -v test_support)
targets=($programs gamedata)
scripts=()
if [ "${MUTATION_XVFB:-0}" = 1 ]; then
  targets=(all)
  scripts=($(cd "$work/tree" && ls tests/*/*.sh | grep -v '^tests/support/'))
fi
rebuild() { cmake --build "$build" -j"$jobs" --target "${targets[@]}" >"$1" 2>&1; }

# ---- Running the tests -------------------------------------------------------------------------
# run_one DIR TAG COMMAND...: runs one program or script in the run folder; DIR/TAG.fail gets the names
# of its failing tests, or "TAG (exit N|timeout in the last test started)" when it ended without them.
run_one() {
  local dir=$1 tag=$2 rc=0
  shift 2
  (cd "$build/run" && timeout "$limit" "$@") >"$dir/$tag.log" 2>&1 || rc=$?
  : >"$dir/$tag.fail"
  if [ -f "$dir/$tag.xml" ]; then
    python3 - "$dir/$tag.xml" >"$dir/$tag.fail" <<'EOF'
import sys, xml.etree.ElementTree as ET
for case in ET.parse(sys.argv[1]).iter("testcase"):
    if case.find("failure") is not None:
        print(case.get("classname") + "." + case.get("name"))
EOF
  fi
  if [ $rc -ne 0 ] && [ ! -s "$dir/$tag.fail" ]; then
    local how="exit $rc" last
    [ $rc = 124 ] && how=timeout
    last=$(sed -n 's/^\[ RUN      \] //p' "$dir/$tag.log" | tail -n 1)
    echo "$tag ($how${last:+ in $last})" >"$dir/$tag.fail"
  fi
}

# run_all DIR: every program once (without its isolated tests), each isolated test in a process of its
# own, the scripts one after another; DIR/failed lists what failed.
run_all() {
  local dir=$1 p t n=0
  rm -rf "$dir" && mkdir -p "$dir"
  for p in $programs; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
    run_one "$dir" "$p" "$build/tests/$p" --gtest_filter="-$(paste -sd: "$work/isolated.$p" 2>/dev/null)" \
      --gtest_output=xml:"$dir/$p.xml" &
  done
  for p in $programs; do
    while IFS= read -r t; do
      while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
      n=$((n + 1))
      run_one "$dir" "$p.alone$n" "$build/tests/$p" --gtest_filter="$t" --gtest_output=xml:"$dir/$p.alone$n.xml" &
    done < <(cat "$work/isolated.$p" 2>/dev/null)
  done
  wait
  for t in "${scripts[@]}"; do
    n=${t#tests/}
    run_one "$dir" "${n%.sh}" bash "$work/tree/$t" "$build"
  done
  cat "$dir"/*.fail 2>/dev/null | sort -u >"$dir/failed"
}

# recheck DIR NAMES: each failing test runs once more alone; one that passes then is flaky, not caught
# (DIR/flaky). A program that ended early is not rerun.
recheck() {
  local dir=$1 t p k=0
  : >"$dir/flaky"
  while IFS= read -r t; do
    [ -n "$t" ] && [[ $t != *" ("* ]] || continue
    p=$(grep -lxF "$t" "$dir"/test_*.fail | head -n 1 | xargs basename | cut -d. -f1)
    k=$((k + 1))
    run_one "$dir" "$p.again$k" "$build/tests/$p" --gtest_filter="$t" --gtest_output=xml:"$dir/$p.again$k.xml"
    [ -s "$dir/$p.again$k.fail" ] || echo "$t" >>"$dir/flaky"
  done <<<"$2"
}

started=$(date +%s)
echo "building $work (commit $commit)" >&2
rebuild "$work/results/baseline-build.log" || { echo "the unchanged tree does not build: $work/results/baseline-build.log" >&2; exit 1; }

# ---- Baseline: what fails with no fault is rerun alone; alone it passes (isolated) or is excluded --
rm -f "$work"/isolated.*
run_all "$work/results/baseline-shared"
: >"$work/excluded"
for p in $programs; do
  grep -v " (" "$work/results/baseline-shared/$p.fail" >"$work/isolated.$p" || true
done
run_all "$work/results/baseline"
# Alone-runs go two at a time in one run folder, so a failure there is tried once more by itself before
# the test is excluded.
recheck "$work/results/baseline" "$(grep -v " (" "$work/results/baseline/failed" || true)"
grep -v " (" "$work/results/baseline/failed" | grep -vxFf "$work/results/baseline/flaky" >"$work/excluded" || true
for p in $programs; do
  # A test that fails even alone is broken on the baseline, not isolated.
  grep -vxFf "$work/excluded" "$work/isolated.$p" >"$work/isolated.$p.tmp" || true
  mv "$work/isolated.$p.tmp" "$work/isolated.$p"
done
if cat "$work/results/baseline-shared/failed" "$work/results/baseline/failed" | grep " ("; then
  echo "a test program ended early with no fault planted; see $work/results/baseline*" >&2
  exit 1
fi
baseline_seconds=$(($(date +%s) - started))

# The table so far, written after every fault so that a stopped run keeps what it found.
table() {
  echo "Mutation run on commit $commit, $(date -u '+%Y-%m-%d %H:%M UTC'): baseline ${baseline_seconds} s," \
    "${#rows[@]} of ${#ids[@]} faults in $(($(date +%s) - started - baseline_seconds)) s (Release, $jobs jobs)."
  echo "Excluded (fail with no fault): $(paste -sd, "$work/excluded" | sed 's/,/, /g' | grep . || echo none)."
  echo "Run alone (fail beside the rest of their program): $(cat "$work"/isolated.* | wc -l) tests."
  echo
  echo "| id | area | fault | caught by | s |"
  echo "|---|---|---|---|---|"
  printf '%s\n' "${rows[@]}"
  echo
  echo "Every catching test:"
  echo
  printf '%s\n' "${details[@]}"
}

# ---- Each fault --------------------------------------------------------------------------------
rows=()
details=()
restore() { [ -f "$work/restore.from" ] && mv "$work/restore.from" "$(cat "$work/restore.to")" && touch "$(cat "$work/restore.to")"; rm -f "$work/restore.to"; }
trap restore EXIT
for id in "${ids[@]}"; do
  t0=$(date +%s)
  target="$work/tree/${file[$id]}"
  count=$(found "$target" "$id")
  if [ "$count" != 1 ]; then
    result="stale (found $count times)"
  else
    cp -p "$target" "$work/restore.from" && echo "$target" >"$work/restore.to"
    text=$(cat "$target")
    printf '%s\n' "${text/"${from[$id]}"/"${to[$id]}"}" >"$target"
    if ! rebuild "$work/results/$id-build.log"; then
      # The generator's own checks name what they caught; a compile error just says build.
      result="build$(sed -n 's/^plinkor-gen: \(.*: .*\)/ (\1)/p' "$work/results/$id-build.log" | head -n 1)"
    else
      run_all "$work/results/$id"
      caught=$(grep -vxFf "$work/excluded" "$work/results/$id/failed" || true)
      recheck "$work/results/$id" "$caught"
      caught=$(grep -vxFf "$work/results/$id/flaky" <<<"$caught" || true)
      if [ -z "$caught" ]; then
        result=none
      else
        n=$(echo "$caught" | wc -l)
        result="$n: $(echo "$caught" | head -n 4 | paste -sd, | sed 's/,/, /g')"
        [ "$n" -gt 4 ] && result="$result, +$((n - 4)) more"
        details+=("- **$id**: $(echo "$caught" | paste -sd, | sed 's/,/, /g')")
      fi
      [ -s "$work/results/$id/flaky" ] && result="$result (flaky, passed again: $(paste -sd, "$work/results/$id/flaky"))"
    fi
    restore
  fi
  rows+=("| $id | ${area[$id]} | ${what[$id]} | $result | $(($(date +%s) - t0)) |")
  echo "${rows[-1]}" >&2
  table >"$out_file"
done
table
