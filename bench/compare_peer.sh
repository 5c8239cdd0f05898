#!/usr/bin/env bash
# Plinkor beside a peer game of the same genre, LBreakout2 (Debian package lbreakout2, installed when
# missing), measured the same way under Xvfb at 1280 x 1024 with no window manager: the process's CPU
# from /proc/PID/stat over SECONDS in the main menu and again in play, and its peak resident memory
# (VmHWM). Two rounds; each cell reads "first / second".
# Usage: bench/compare_peer.sh BUILD_DIR [SECONDS]   (SECONDS defaults to 20)
set -u
build="$(cd "${1:-build}" && pwd)"
seconds="${2:-20}"
work="$(mktemp -d /tmp/plinkor-peer-XXXXXX)"
xvfb=""
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ ! -x /usr/games/lbreakout2 ]; then
  echo "Installing the peer (lbreakout2) from Debian"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq lbreakout2 >/dev/null \
    || fail "cannot install lbreakout2"
fi
. "$(dirname "$0")/../tests/support/xvfb.sh"
need_x_tools bc
start_xvfb

# The game's single-instance name must not meet another copy running on this machine.
isolated=()
unshare -n true 2>/dev/null && isolated=(unshare -n)
# Plinkor runs in a folder of links to the generated data, so that the settings it writes stay there.
run="$build/run"
mkdir -p "$work/game/Data" "$work/game/Sound" "$work/home"
for f in "$run"/Data/*; do
  case "$(basename "$f")" in settings.dat|Plinkor*.dat) continue ;; esac
  ln -s "$f" "$work/game/Data/"
done
for f in "$run"/Sound/*; do ln -s "$f" "$work/game/Sound/"; done

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# CPU of process $1 over $seconds, in % of one core.
cpu_over() {
  local a b
  a=$(cpu_ticks "$1") || return 1
  sleep "$seconds"
  b=$(cpu_ticks "$1") || return 1
  echo "scale=1; 100 * ($b - $a) / ($ticks * $seconds)" | bc
}
peak_mb() { awk '/VmHWM/ {printf "%.0f", $2 / 1024}' "/proc/$1/status"; }
wait_window() {
  for i in $(seq 100); do
    w=$(xdotool search --name "$1" 2>/dev/null | head -n 1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}

# One measurement of Plinkor with the environment given ("" for none); prints "menu play peak".
plinkor() {
  (cd "$work/game" && exec env $1 "${isolated[@]}" "$build/plinkor" >/dev/null 2>&1) &
  pid=$!
  local win
  win=$(wait_window '^Plinkor$') || fail "no Plinkor window"
  eval "$(xdotool getwindowgeometry --shell "$win")"
  # Through the splashes (a tap on each lets it go on) to the main menu.
  for i in $(seq 6); do
    sleep 0.8
    xdotool mousemove $((X + 240)) $((Y + 60)) click 1
  done
  xdotool mousemove $((X + 470)) $((Y + 630))
  sleep 3
  local menu play
  menu=$(cpu_over "$pid")
  # Play, then the first lit level of the chooser.
  xdotool mousemove $((X + 241)) $((Y + 303)) click 1
  sleep 1.5
  xdotool mousemove $((X + 25)) $((Y + 185)) click 1
  xdotool mousemove $((X + 470)) $((Y + 630))
  sleep 3
  play=$(cpu_over "$pid")
  echo "$menu $play $(peak_mb "$pid")"
  kill "$pid"; wait "$pid" 2>/dev/null; pid=""
}

peer() {
  (cd "$work" && HOME="$work/home" SDL_VIDEODRIVER=x11 exec /usr/games/lbreakout2 >/dev/null 2>&1) &
  pid=$!
  local win
  win=$(wait_window '^LBreakout2$') || { echo "FAIL: no LBreakout2 window" >&2; kill "$pid"; echo "- - -"; return; }
  eval "$(xdotool getwindowgeometry --shell "$win")"
  sleep 3
  local menu play
  menu=$(cpu_over "$pid")
  # Local Game, Start Original Set, then a click serves the ball.
  xdotool mousemove $((X + 181)) $((Y + 270)) click 1
  sleep 1
  xdotool mousemove $((X + 181)) $((Y + 279)) click 1
  sleep 2
  xdotool mousemove $((X + 320)) $((Y + 440)) click 1
  sleep 1
  play=$(cpu_over "$pid")
  echo "$menu $play $(peak_mb "$pid")"
  kill "$pid"; wait "$pid" 2>/dev/null; pid=""
}

declare -A results
rows=("Plinkor, default" "Plinkor, PLINKOR_PRESENT=gl" "Plinkor, PLINKOR_PRESENT=software" "the peer (LBreakout2)")
for round in 1 2; do
  echo "round $round ..." >&2
  results["0,$round"]=$(plinkor "")
  results["1,$round"]=$(plinkor "PLINKOR_PRESENT=gl")
  results["2,$round"]=$(plinkor "PLINKOR_PRESENT=software")
  results["3,$round"]=$(peer)
done

echo
echo "Under Xvfb 1280x1024, CPU over ${seconds} s from /proc/PID/stat (% of one core), two rounds:"
echo
echo "| | CPU in the main menu | CPU in play | peak RSS |"
echo "|---|---|---|---|"
for i in 0 1 2 3; do
  read -r m1 p1 r1 <<<"${results["$i,1"]}"
  read -r m2 p2 r2 <<<"${results["$i,2"]}"
  echo "| ${rows[$i]} | $m1 / $m2 | $p1 / $p2 | $r1 / $r2 MB |"
done
