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
trap 'rm -f "$stream" "$log"' EXIT

# One timed run inside the virtual display; prints "exit-code elapsed-milliseconds". Message boxes the
# program shows meanwhile (a data file not generated yet) are answered so that it can close.
run_once() {
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$stream" xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        start=$(date +%s%N)
        "$0" > "$1" 2>&1 &
        pid=$!
        (
            while kill -0 $pid 2>/dev/null; do
                # SDL titles its boxes in UTF-8 only, which xdotool cannot search: ask xwininfo.
                for w in $(xwininfo -root -tree 2>/dev/null | awk "/\"File Not Found\"/ {print \$1}"); do
                    xdotool windowfocus --sync $w key Return 2>/dev/null
                done
                sleep 0.3
            done
        ) &
        sleep "$2"
        kill -TERM $pid 2>/dev/null
        for i in $(seq 100); do
            kill -0 $pid 2>/dev/null || break
            sleep 0.1
        done
        end=$(date +%s%N)
        if kill -0 $pid 2>/dev/null; then
            kill -KILL $pid 2>/dev/null
            echo "hung $(( (end - start) / 1000000 ))"
            exit 0
        fi
        wait $pid
        echo "$? $(( (end - start) / 1000000 ))"
    ' "$program" "$log" "$run_seconds"
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
