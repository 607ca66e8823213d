#!/usr/bin/env bash
# Times tarnwick-cli against ffmpeg doing the same jobs with the same LAME
# settings, on the same generated inputs, and prints one table.
# Usage: bench/run.sh            (BENCH_RUNS=3 bench/run.sh takes the best of 3)
#        bench/run.sh --inputs   (only make the inputs)
# See bench/README.md.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/bench/out
build=${TARNWICK_BENCH_BUILD:-$root/build-release}
runs=${BENCH_RUNS:-1}

./scripts/setup.sh ffmpeg time sox lame
mkdir -p "$out"
cli=$build/src/cli/tarnwick-cli
if [ "${1:-}" != --inputs ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target tarnwick-cli --parallel 2 >/dev/null
fi

# --- inputs (made once, kept in bench/out) ----------------------------------
# A tone that sweeps plus a little noise: not trivially compressible, quick
# to synthesise. The 60-minute files are encoded in parallel (two cores).
synth() { # seconds rate channels output (- for a WAV on stdout)
  local tones=(sine 200-2000 sine 3000-300)
  [ "$3" = 1 ] && tones=(sine 200-2000)
  sox -V1 -n -r "$2" -c "$3" -b 16 -t wav "$4" synth "$1" "${tones[@]}" vol 0.4 dither
}
pids=()
if [ ! -s "$out/long.mp3" ]; then
  echo "making long.mp3 (60 min, 44.1 kHz stereo, CBR 192)" >&2
  ( synth 3600 44100 2 - | lame --quiet -q 7 -b 192 --cbr - "$out/long.mp3.tmp" && mv "$out/long.mp3.tmp" "$out/long.mp3" ) &
  pids+=($!)
fi
if [ ! -s "$out/long-vbr.mp3" ]; then
  echo "making long-vbr.mp3 (60 min, 44.1 kHz stereo, VBR -V 4)" >&2
  ( synth 3600 44100 2 - | lame --quiet -q 7 -V 4 - "$out/long-vbr.mp3.tmp" && mv "$out/long-vbr.mp3.tmp" "$out/long-vbr.mp3" ) &
  pids+=($!)
fi
for p in "${pids[@]}"; do wait "$p"; done
[ -s "$out/ten.mp3" ] || synth 600 44100 2 - | lame --quiet -q 7 -b 128 --cbr - "$out/ten.mp3"
[ -s "$out/ten-22k-mono.wav" ] || synth 600 22050 1 "$out/ten-22k-mono.wav"
[ -s "$out/ten-48k.wav" ] || synth 600 48000 2 "$out/ten-48k.wav"
[ "${1:-}" = --inputs ] && exit 0

# --- timing -------------------------------------------------------------------
# measure NAME COMMAND...: best wall time (and the CPU time, user + system, of
# that run) and the largest peak RSS over $runs runs, into $out/NAME.wall,
# $out/NAME.cpu (seconds) and $out/NAME.rss (KiB). On a busy machine the CPU
# times compare the programs' work better than the wall times.
measure() {
  local name=$1; shift
  local best="" cpu="" rss=0 log=$out/$name.time
  for _ in $(seq "$runs"); do
    rm -rf "$out/work-$name"; mkdir -p "$out/work-$name"
    if ! /usr/bin/time -v -o "$log" "$@" >"$out/$name.stdout" 2>"$out/$name.stderr"; then
      echo "FAILED: $name: $*" >&2; cat "$out/$name.stderr" >&2; return 1
    fi
    local wall kb used
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,p,":"); s=0; for(i=1;i<=n;i++) s=s*60+p[i]; print s}' "$log")
    used=$(awk -F': ' '/User time|System time/ {s+=$2} END {printf "%.2f", s}' "$log")
    kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
    if [ -z "$best" ] || awk "BEGIN{exit !($wall < $best)}"; then best=$wall; cpu=$used; fi
    [ "$kb" -gt "$rss" ] && rss=$kb
  done
  echo "$best" > "$out/$name.wall"; echo "$cpu" > "$out/$name.cpu"; echo "$rss" > "$out/$name.rss"
}

ff=(ffmpeg -nostdin -hide_banner -v error -y)
lame192=(-c:a libmp3lame -b:a 192k -compression_level 3 -ar 44100)

load=$(cut -d' ' -f1-3 /proc/loadavg)
echo "timing (runs per job: $runs)" >&2
measure t-cut90 "$cli" split "$out/long.mp3" 00:10:00 00:11:30 --outdir "$out/work-t-cut90"
measure f-cut90 "${ff[@]}" -ss 600 -to 690 -i "$out/long.mp3" "${lame192[@]}" "$out/work-f-cut90/cut.mp3"
measure t-cut40 "$cli" split "$out/long.mp3" 00:05:00 00:45:00 --outdir "$out/work-t-cut40"
measure f-cut40 "${ff[@]}" -ss 300 -to 2700 -i "$out/long.mp3" "${lame192[@]}" "$out/work-f-cut40/cut.mp3"
measure t-wav40 "$cli" split "$out/long.mp3" 00:05:00 00:45:00 --format wav --outdir "$out/work-t-wav40"
measure f-wav40 "${ff[@]}" -ss 300 -to 2700 -i "$out/long.mp3" -c:a pcm_s16le "$out/work-f-wav40/cut.wav"
measure t-copy40 "$cli" split "$out/long.mp3" 00:05:00 00:45:00 --copy --outdir "$out/work-t-copy40"
measure f-copy40 "${ff[@]}" -ss 300 -to 2700 -i "$out/long.mp3" -c copy "$out/work-f-copy40/cut.mp3"
join_in=("$out/ten.mp3" "$out/ten-22k-mono.wav" "$out/ten-48k.wav")
measure t-join "$cli" join "$out/work-t-join/all.mp3" "${join_in[@]}"
fmt="aresample=44100,aformat=sample_fmts=fltp:channel_layouts=stereo"
measure f-join "${ff[@]}" -i "${join_in[0]}" -i "${join_in[1]}" -i "${join_in[2]}" \
  -filter_complex "[0:a]$fmt[a0];[1:a]$fmt[a1];[2:a]$fmt[a2];[a0][a1][a2]concat=n=3:v=0:a=1[out]" \
  -map "[out]" "${lame192[@]}" "$out/work-f-join/all.mp3"
measure t-probe "$cli" probe "$out/long-vbr.mp3"
measure f-probe ffprobe -v error -show_entries format=duration -of csv=p=0 "$out/long-vbr.mp3"

# The exact length of the VBR file: its source had 3600 s at 44.1 kHz, and a
# full decode (ffmpeg honours the LAME tag's delay and padding) must agree.
probed=$(cut -f1 "$out/t-probe.stdout")
decoded_frames=$(( $(ffmpeg -nostdin -v error -i "$out/long-vbr.mp3" -f s16le -ac 2 - | wc -c) / 4 ))
expected=$(( 3600 * 10000000 ))
decoded_time=$(awk "BEGIN{printf \"%.0f\", $decoded_frames * 10000000 / 44100}")
exact=no
[ "$probed" = "$expected" ] && [ "$probed" = "$decoded_time" ] && exact=yes

# Where the two copied pieces start and how long they are, against the
# source's samples [300 s, 2700 s): both decoded by ffmpeg, tarnwick's also
# measured by its own probe (libmpg123).
copy_errors() { # label piece; leaves the errors in $copy_start $copy_length
  local e
  e=($(python3 bench/piece-errors.py "$out/long.mp3" 300 2700 "$2"))
  copy_start=${e[0]}; copy_length=${e[1]}
  printf "  %-16s start %+6d samples (%+7.1f ms), length %+6d samples (%+7.1f ms)\n" "$1" "${e[0]}" \
    "$(awk "BEGIN{print ${e[0]} * 1000 / ${e[2]}}")" "${e[1]}" "$(awk "BEGIN{print ${e[1]} * 1000 / ${e[2]}}")"
}
t_copy=$(head -n1 "$out/t-copy40.stdout")
copy_errors "tarnwick --copy" "$t_copy" > "$out/copy-errors.txt"
copy_exact=no
[ "$copy_start" = 0 ] && [ "$copy_length" = 0 ] && copy_exact=yes
copy_errors "ffmpeg -c copy" "$out/work-f-copy40/cut.mp3" >> "$out/copy-errors.txt"
copy_report=$(cat "$out/copy-errors.txt")
copy_probed=$("$cli" probe "$t_copy" | cut -f1)
[ "$copy_probed" = $(( 2400 * 10000000 )) ] || copy_exact=no

# --- table ------------------------------------------------------------------------
row() { # job tname fname ratio-target kind
  local tw fw tc fc rss ratio ok=pass
  tw=$(cat "$out/$2.wall"); fw=$(cat "$out/$3.wall"); tc=$(cat "$out/$2.cpu"); fc=$(cat "$out/$3.cpu")
  rss=$(awk "BEGIN{printf \"%.1f\", $(cat "$out/$2.rss") / 1024}")
  ratio=$(awk "BEGIN{printf \"%.2f\", ($fw > 0 ? $tw / $fw : 0)}")
  case $5 in
    ratio) awk "BEGIN{exit !($ratio <= $4)}" || ok=miss; target="<= ${4}x ffmpeg" ;;
    probe) awk "BEGIN{exit !($tw <= 0.3)}" && [ "$exact" = yes ] || ok=miss; target="<= 0.3 s, exact: $exact" ;;
    seconds) awk "BEGIN{exit !($tw <= $4)}" || ok=miss; target="<= $4 s, sample-exact: $copy_exact" ;;
  esac
  awk "BEGIN{exit !($rss <= 32)}" || ok=miss
  printf "%-28s %10s %9s %6s %8s %8s %8s  %-30s %s\n" "$1" "$tw" "$fw" "$ratio" "$tc" "$fc" "$rss" "$target" "$ok"
}
echo
echo "wall seconds (best of $runs), their ratio, CPU seconds (user + system) of those runs, tarnwick's peak RSS"
echo "load average before timing: $load"
printf "%-28s %10s %9s %6s %8s %8s %8s  %-30s %s\n" job "tarnwick s" "ffmpeg s" ratio "t cpu s" "f cpu s" "RSS MiB" "target (and RSS <= 32 MiB)" result
row "cut 90 s -> MP3 192k"        t-cut90 f-cut90 1.0 ratio
row "cut 40 min -> MP3 192k"      t-cut40 f-cut40 1.0 ratio
row "cut 40 min -> WAV"           t-wav40 f-wav40 0.5 ratio
row "cut 40 min, no re-encoding"  t-copy40 f-copy40 1 seconds
row "join 3 x 10 min -> MP3 192k" t-join  f-join  1.0 ratio
row "probe 60 min VBR"            t-probe f-probe 0   probe
echo
echo "probe: $probed (100 ns); source 3600 s = $expected; full decode $decoded_frames frames = $decoded_time"
echo "40-minute pieces without re-encoding, decoded by ffmpeg against the source's [300 s, 2700 s):"
echo "$copy_report"
echo "  tarnwick --copy  its own probe (libmpg123): $copy_probed (100 ns); 2400 s = $(( 2400 * 10000000 ))"
for j in t-cut90 t-cut40 t-wav40 t-join; do
  f=$(head -n1 "$out/$j.stdout")
  [ -n "$f" ] && echo "$j: $("$cli" probe "$f" | cut -f1,2,3,4)"
done
