#!/usr/bin/env bash
# sfprecord on many simulated cards for a while, gap-free: records CARDS cards
# x 16 channels (8 to a VXI carrier, with SIGNAL on each: by default
# 'signal wave=triangle noise=0', so the simulation stays cheap; "default"
# for the simulator's own sines) for SECONDS at RATE in FORMAT, with time
# stamps, and
# reports the recorder's CPU use (user + system over the wall time, as a
# share of one core), its exit code, and whether the file holds every block
# of the duration (ceil(SECONDS * RATE / SCANS)): a block lost anywhere
# shows as one missing, a FIFO overflow as exit code 3. The file is removed
# afterwards. Run from anywhere; the tools are
# taken from build/bin.
#
# Usage: bench/bench_sfprecord.sh [seconds] [cards] [rate] [scans] [directory] [format] [signal]
#        (defaults: 60 s, 64 cards, 10000 Hz, 8192 scans, /tmp, bin,
#        'signal wave=triangle noise=0')
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
cards=${2:-64}
rate=${3:-10000}
scans=${4:-8192}
dir=${5:-/tmp}
format=${6:-bin}
signal=${7:-signal wave=triangle noise=0}
[ "$signal" = default ] && signal=""
bin=$root/build/bin
config=""
for ((k = 0; k < cards; ++k)); do
  ((k % 8 == 0)) && config+="carrier vxi slot=$((2 + k / 8)); "
  config+="fc $((k % 8 + 1)); ${signal:+$signal; }"
done
extension=bin6842
[ "$format" = bin ] || extension=csv
out=$dir/bench_sfprecord.$extension
trap 'rm -f "$out"' EXIT
status=0
TRELLIN_SIM=$config /usr/bin/time -f "%U %S %e" -o "$dir/bench_sfprecord.time" \
  "$bin/sfprecord" --output "$out" --cards "$cards" --channels all --rate "$rate" --scans "$scans" \
  --duration "$seconds" --timestamps --format "$format" 2>"$dir/bench_sfprecord.log" || status=$?
# time puts "Command exited with non-zero status N" first when the recorder fails
read -r user system wall < <(tail -n 1 "$dir/bench_sfprecord.time")
rm -f "$dir/bench_sfprecord.time"
expected=$(awk -v s="$seconds" -v r="$rate" -v n="$scans" 'BEGIN { b = s * r / n; print (b == int(b)) ? b : int(b) + 1 }')
if [ "$format" = bin ]; then
  blocks=$("$bin/sfpfile" info "$out" | awk '/^Blocks:/ { print $2 }')
else # three header lines, then a line per scan
  blocks=$(( ($(wc -l <"$out") - 3) / scans ))
fi
tail -1 "$dir/bench_sfprecord.log"
rm -f "$dir/bench_sfprecord.log"
awk -v u="$user" -v s="$system" -v w="$wall" -v c="$cards" -v b="$blocks" -v e="$expected" -v x="$status" \
    -v mb="$(awk -v c="$cards" -v r="$rate" 'BEGIN { print (c * 16 * 8 + 8) * r / 1048576 }')" -v f="$format" 'BEGIN {
  printf "%d cards x 16 channels, %s, %.1f MB/s of samples with time stamps: CPU %.0f%% of one core over %.1f s, exit %d, %d of %d blocks: %s\n",
         c, f, mb, 100 * (u + s) / w, w, x, b, e, (b == e && x == 0) ? "gap-free" : "BLOCKS MISSING" }'
[ "$status" -eq 0 ] && [ "$blocks" = "$expected" ]
