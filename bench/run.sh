#!/usr/bin/env bash
# Times tarnwick-cli against ffmpeg doing the same jobs with the same LAME
# settings, on the same generated inputs, and prints one table.
# Usage: bench/run.sh            (BENCH_RUNS=3 bench/run.sh: the median of 3 pairs)
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
# Each job is timed as pairs, tarnwick then ffmpeg, $runs times in turn, so
# that a change of load hits both alike. once NAME COMMAND... times one run
# and appends "wall cpu rss" (seconds, seconds, KiB) to $out/NAME.runs; the
# table shows the median wall time of the runs, the CPU time (user + system)
# of the same run and the largest peak RSS.
once() {
  local name=$1; shift
  local log=$out/$name.time
  rm -rf "$out/work-$name"; mkdir -p "$out/work-$name"
  if ! /usr/bin/time -v -o "$log" "$@" >"$out/$name.stdout" 2>"$out/$name.stderr"; then
    echo "FAILED: $name: $*" >&2; cat "$out/$name.stderr" >&2; return 1
  fi
  awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,p,":"); w=0; for(i=1;i<=n;i++) w=w*60+p[i]}
              /User time|System time/ {c+=$2}
              /Maximum resident set size/ {r=$2}
              END {printf "%s %.2f %s\n", w, c, r}' "$log" >> "$out/$name.runs"
}
# pair TNAME FNAME: $runs alternating runs of the commands in the arrays
# named by TNAME and FNAME (dashes as underscores).
pair() {
  local -n tcmd=${1//-/_} fcmd=${2//-/_}
  rm -f "$out/$1.runs" "$out/$2.runs"
  for _ in $(seq "$runs"); do
    once "$1" "${tcmd[@]}"
    once "$2" "${fcmd[@]}"
  done
  for name in "$1" "$2"; do
    sort -n "$out/$name.runs" | awk -v n="$(wc -l < "$out/$name.runs")" \
      'NR == int((n + 1) / 2) {print $1 > "'"$out/$name"'.wall"; print $2 > "'"$out/$name"'.cpu"}'
    awk 'BEGIN{m=0} $3 > m {m=$3} END{print m}' "$out/$name.runs" > "$out/$name.rss"
  done
}

ff=(ffmpeg -nostdin -hide_banner -v error -y)
lame192=(-c:a libmp3lame -b:a 192k -compression_level 3 -ar 44100)
join_in=("$out/ten.mp3" "$out/ten-22k-mono.wav" "$out/ten-48k.wav")
fmt="aresample=44100,aformat=sample_fmts=fltp:channel_layouts=stereo"

t_cut90=("$cli" split "$out/long.mp3" 00:10:00 00:11:30 --outdir "$out/work-t-cut90")
f_cut90=("${ff[@]}" -ss 600 -to 690 -i "$out/long.mp3" "${lame192[@]}" "$out/work-f-cut90/cut.mp3")
t_cut40=("$cli" split "$out/long.mp3" 00:05:00 00:45:00 --outdir "$out/work-t-cut40")
f_cut40=("${ff[@]}" -ss 300 -to 2700 -i "$out/long.mp3" "${lame192[@]}" "$out/work-f-cut40/cut.mp3")
t_wav40=("$cli" split "$out/long.mp3" 00:05:00 00:45:00 --format wav --outdir "$out/work-t-wav40")
f_wav40=("${ff[@]}" -ss 300 -to 2700 -i "$out/long.mp3" -c:a pcm_s16le "$out/work-f-wav40/cut.wav")
t_copy40=("$cli" split "$out/long.mp3" 00:05:00 00:45:00 --copy --outdir "$out/work-t-copy40")
f_copy40=("${ff[@]}" -ss 300 -to 2700 -i "$out/long.mp3" -c copy "$out/work-f-copy40/cut.mp3")
t_join=("$cli" join "$out/work-t-join/all.mp3" "${join_in[@]}")
f_join=("${ff[@]}" -i "${join_in[0]}" -i "${join_in[1]}" -i "${join_in[2]}"
  -filter_complex "[0:a]$fmt[a0];[1:a]$fmt[a1];[2:a]$fmt[a2];[a0][a1][a2]concat=n=3:v=0:a=1[out]"
  -map "[out]" "${lame192[@]}" "$out/work-f-join/all.mp3")
t_probe=("$cli" probe "$out/long-vbr.mp3")
f_probe=(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out/long-vbr.mp3")

load=$(cut -d' ' -f1-3 /proc/loadavg)
echo "timing (pairs per job: $runs)" >&2
pair t-cut90 f-cut90
pair t-cut40 f-cut40
pair t-wav40 f-wav40
pair t-copy40 f-copy40
pair t-join f-join
pair t-probe f-probe
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# The MP3 jobs again on one core and on two (taskset), once each: how the
# encode scales with the cores it is given.
cores=()
if command -v taskset >/dev/null && [ "$(nproc)" -ge 2 ]; then
  for job in cut40 join; do
    declare -n cmd="t_$job"
    for set in 0 0,1; do
      rm -rf "$out/c$set-$job.runs" "$out/work-t-$job"; mkdir -p "$out/work-t-$job"
      once "c$set-$job" taskset -c "$set" "${cmd[@]}"
    done
    unset -n cmd
    cores+=("$job")
  done
fi

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
echo "wall seconds (median of $runs alternating pairs), their ratio, CPU seconds (user + system) of those runs, tarnwick's peak RSS"
echo "cores: $(nproc) (the MP3 encoder uses them all); load average before timing: $load, after: $load_after"
printf "%-28s %10s %9s %6s %8s %8s %8s  %-30s %s\n" job "tarnwick s" "ffmpeg s" ratio "t cpu s" "f cpu s" "RSS MiB" "target (and RSS <= 32 MiB)" result
row "cut 90 s -> MP3 192k"        t-cut90 f-cut90 1.0 ratio
row "cut 40 min -> MP3 192k"      t-cut40 f-cut40 0.6 ratio
row "cut 40 min -> WAV"           t-wav40 f-wav40 0.5 ratio
row "cut 40 min, no re-encoding"  t-copy40 f-copy40 1 seconds
row "join 3 x 10 min -> MP3 192k" t-join  f-join  0.6 ratio
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

# ffmpeg decodes the MP3 outputs to their exact length too (it honours the
# info frame's delay and padding, as libmpg123 does for the probe above).
samples() { echo $(( $(ffmpeg -nostdin -v error -i "$1" -f s16le -ac 2 - | wc -c) / 4 )); }
for j in t-cut40:105840000 t-join:79380000; do
  f=$(head -n1 "$out/${j%%:*}.stdout")
  n=$(samples "$f")
  echo "${j%%:*}: ffmpeg decodes $n samples, expected ${j##*:}: $([ "$n" = "${j##*:}" ] && echo exact || echo WRONG)"
done

if [ ${#cores[@]} -gt 0 ]; then
  echo
  echo "tarnwick on one core and on two (taskset, one run each), wall seconds:"
  for job in "${cores[@]}"; do
    one=$(cut -d' ' -f1 "$out/c0-$job.runs"); two=$(cut -d' ' -f1 "$out/c0,1-$job.runs")
    printf "%-6s 1 core %7s   2 cores %7s   speed-up %.2fx\n" "$job" "$one" "$two" "$(awk "BEGIN{print $one / $two}")"
  done
fi

# --- coding quality -------------------------------------------------------------
# A busy 3-minute piece (plucked notes, pink noise, a sweep) encoded by one
# thread and by two, both compared with the source block by block
# (bench/mp3-quality.cpp). With two threads a segment is 392 frames long.
quality=$build/mp3-quality
if [ ! -x "$quality" ] || [ "$root/bench/mp3-quality.cpp" -nt "$quality" ]; then
  g++ -O2 -std=c++20 -o "$quality" "$root/bench/mp3-quality.cpp" -lmpg123 -lsndfile
fi
if [ ! -s "$out/busy.wav" ]; then
  sox -V1 -n -r 44100 -c 2 -b 16 "$out/plucks.wav" synth 0.37 pluck 440 pluck 660 repeat 490
  sox -V1 -n -r 44100 -c 2 -b 16 "$out/noise.wav" synth 180 pinknoise sine 200-2000 vol 0.3 tremolo 0.5 80
  sox -V1 -m "$out/plucks.wav" "$out/noise.wav" -b 16 "$out/busy.wav" trim 0 180 dither
  rm -f "$out/plucks.wav" "$out/noise.wav"
fi
for threads in 1 2; do
  rm -rf "$out/work-q$threads"
  TARNWICK_MP3_THREADS=$threads "$cli" split "$out/busy.wav" 00:00:00 00:03:00 --outdir "$out/work-q$threads" >/dev/null
done
echo
"$quality" "$out/busy.wav" "$out"/work-q1/*.mp3 "$out"/work-q2/*.mp3 392 || true
