#!/bin/bash
# The real program under Xvfb with SDL's file-backed audio device: it opens the wave output at start-up
# and streams 22050 Hz mono 16-bit samples (silence: nothing plays yet) for as long as it runs.
# Usage: disk_audio.sh BUILD_FOLDER (run from the folder with the game's data).
set -u
build="$1"
program="$build/plinkor"
run_seconds=4
stream=$(mktemp /tmp/plinkor-stream-XXXXXX)
log=$(mktemp /tmp/plinkor-stream-log-XXXXXX)
xvfb=""
trap 'rm -f "$stream" "$log"; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/../support/xvfb.sh"
need_x_tools
start_xvfb

# One timed run; prints "exit-code elapsed-milliseconds". Message boxes the program shows meanwhile (a
# data file not generated yet) are answered so that it can close.
run_once() {
    local start end pid i
    start=$(date +%s%N)
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$stream" "$program" >"$log" 2>&1 &
    pid=$!
    (
        while kill -0 $pid 2>/dev/null; do
            dismiss_missing_files >/dev/null
            sleep 0.3
        done
    ) &
    sleep "$run_seconds"
    kill -TERM $pid 2>/dev/null
    for i in $(seq 100); do
        kill -0 $pid 2>/dev/null || break
        sleep 0.1
    done
    end=$(date +%s%N)
    if kill -0 $pid 2>/dev/null; then
        kill -KILL $pid 2>/dev/null
        echo "hung $(( (end - start) / 1000000 ))"
        return
    fi
    wait $pid
    echo "$? $(( (end - start) / 1000000 ))"
}

# Another copy of the game running on this machine refuses our start: wait for it and try again.
for attempt in 1 2 3 4 5; do
    rm -f "$stream"
    read -r code elapsed_ms < <(run_once)
    if [ "$code" = 0 ] || ! grep -q "Unable to create window" "$log"; then
        break
    fi
    sleep 5
done

if [ "$code" != 0 ]; then
    echo "FAIL: the program exited with $code"; cat "$log"; exit 1
fi
if [ ! -f "$stream" ]; then
    echo "FAIL: no audio stream was written (device not opened)"; cat "$log"; exit 1
fi
bytes=$(stat -c %s "$stream")
# 22050 samples a second, 2 bytes each. The device opens a little after the start (window, SDL set-up)
# and the file device paces itself by sleeping, so allow a short stream but never a long one.
expected=$(( elapsed_ms * 44100 / 1000 ))
least=$(( (elapsed_ms - 1500) * 44100 / 1000 ))
most=$(( (elapsed_ms + 300) * 44100 / 1000 ))
echo "ran ${elapsed_ms} ms, stream ${bytes} bytes (${expected} for the whole run at 44100 bytes/s)"
if [ $(( bytes % 2 )) != 0 ]; then
    echo "FAIL: odd stream length"; exit 1
fi
if [ "$bytes" -lt "$least" ] || [ "$bytes" -gt "$most" ]; then
    echo "FAIL: stream length does not match 22050 Hz mono 16-bit over the run"; exit 1
fi
# Nothing is playing at the loading picture: every sample is silence.
if [ -n "$(tr -d '\000' < "$stream" | head -c 1)" ]; then
    echo "FAIL: the stream is not silent"; exit 1
fi
echo "PASS"
