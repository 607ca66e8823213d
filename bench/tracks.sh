#!/usr/bin/env bash
# Times tarnwick-cli tracks against ffmpeg doing the same jobs in the same
# run, on a generated 60-minute album, and prints the ratios:
#   - a lossless split of the album into its 12 tracks by a cue sheet
#     (ffmpeg: one stream copy into 12 segments),
#   - the silence scan of the album (ffmpeg: silencedetect over a full decode),
#   - the 12 tracks re-encoded against one 60-minute re-encode by tarnwick-cli
#     split (what a re-encoded album is measured by).
# It also checks that the lossless tracks decoded end to end (by ffmpeg) are
# the source's decode, sample for sample.
# Usage: bench/tracks.sh             (BENCH_RUNS=3: the median of 3 pairs)
#        BENCH_REENCODE=0 bench/tracks.sh   (skips the long re-encodes)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/bench/out/tracks
build=${TARNWICK_BENCH_BUILD:-$root/build-release}
runs=${BENCH_RUNS:-1}

./scripts/setup.sh ffmpeg time sox lame
mkdir -p "$out"
cli=$build/src/cli/tarnwick-cli
if [ -z "${TARNWICK_BENCH_BUILD:-}" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target tarnwick-cli --parallel 2 >/dev/null
fi

# --- the album: 12 tracks of 298 s (sweeping tones) with 2 s of faint noise after each
if [ ! -s "$out/album.mp3" ]; then
  echo "making album.mp3 (60 min, 44.1 kHz stereo, CBR 192, 12 tracks)" >&2
  sox -V1 -n -r 44100 -c 2 -b 16 "$out/track.wav" synth 298 sine 200-2000 sine 3000-300 vol 0.4 dither
  sox -V1 -n -r 44100 -c 2 -b 16 "$out/gap.wav" synth 2 whitenoise vol 0.0005
  parts=(); for _ in $(seq 12); do parts+=("$out/track.wav" "$out/gap.wav"); done
  sox -V1 "${parts[@]}" -t wav - | lame --quiet -q 7 -b 192 --cbr - "$out/album.mp3.tmp"
  mv "$out/album.mp3.tmp" "$out/album.mp3"
  rm -f "$out/track.wav" "$out/gap.wav"
fi
cue=$out/album.cue
times=()
{
  printf 'PERFORMER "Bench Band"\nTITLE "Bench Album"\nREM DATE 2024\nFILE "album.mp3" MP3\n'
  for k in $(seq 0 11); do
    s=$((k * 300))
    printf '  TRACK %02d AUDIO\n    TITLE "Track %d"\n    INDEX 01 %02d:%02d:00\n' $((k + 1)) $((k + 1)) $((s / 60)) $((s % 60))
    [ "$k" -gt 0 ] && times+=("$s")
  done
} > "$cue"
segment_times=$(IFS=,; echo "${times[*]}")

# --- timing: pairs, tarnwick then ffmpeg, so that a change of load hits both alike
once() { # NAME COMMAND...: appends "wall cpu" to $out/NAME.runs
  local name=$1; shift
  rm -rf "$out/work-$name"; mkdir -p "$out/work-$name"
  if ! /usr/bin/time -f '%e %U %S' -o "$out/$name.time" "$@" >"$out/$name.stdout" 2>"$out/$name.stderr"; then
    echo "FAILED: $name: $*" >&2; cat "$out/$name.stderr" >&2; return 1
  fi
  awk '{printf "%.2f %.2f\n", $1, $2 + $3}' "$out/$name.time" >> "$out/$name.runs"
}
median() { sort -n "$out/$1.runs" | awk -v n="$(wc -l < "$out/$1.runs")" 'NR == int((n + 1) / 2) {print $1, $2}'; }
pair() { # TNAME FNAME (arrays t_.../f_... hold the commands)
  local -n tcmd=${1//-/_} fcmd=${2//-/_}
  rm -f "$out/$1.runs" "$out/$2.runs"
  for _ in $(seq "$runs"); do once "$1" "${tcmd[@]}"; once "$2" "${fcmd[@]}"; done
}
ff=(ffmpeg -nostdin -hide_banner -v error -y)
t_album=("$cli" tracks "$out/album.mp3" --cue "$cue" --outdir "$out/work-t-album")
f_album=("${ff[@]}" -i "$out/album.mp3" -map 0:a -c copy -f segment -segment_times "$segment_times"
  "$out/work-f-album/%02d.mp3")
t_scan=("$cli" tracks "$out/album.mp3" --silence --dry-run)
f_scan=("${ff[@]}" -i "$out/album.mp3" -af silencedetect=n=-50dB:d=2 -f null -)
t_reencode=("$cli" tracks "$out/album.mp3" --cue "$cue" --format mp3 --outdir "$out/work-t-reencode")
f_reencode=("$cli" split "$out/album.mp3" 00:00:00 01:00:00 --outdir "$out/work-f-reencode")

load=$(cut -d' ' -f1-3 /proc/loadavg)
pair t-album f-album
pair t-scan f-scan
[ "${BENCH_REENCODE:-1}" = 1 ] && pair t-reencode f-reencode
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# --- exactness: the lossless tracks end to end against the source, both decoded by ffmpeg
decode() { ffmpeg -nostdin -v error -i "$1" -f f32le -c:a pcm_f32le -; }
src_sum=$(decode "$out/album.mp3" | sha256sum | cut -d' ' -f1)
cat_sum=$(for f in "$out"/work-t-album/*.mp3; do decode "$f"; done | sha256sum | cut -d' ' -f1)
exact=no; [ "$src_sum" = "$cat_sum" ] && exact=yes
tracks=$(ls "$out"/work-t-album/*.mp3 | wc -l)

row() { # label tname fname target
  read -r tw tc < <(median "$2"); read -r fw fc < <(median "$3")
  printf '| %s | %s s (cpu %s) | %s s (cpu %s) | %.2f | %s |\n' "$1" "$tw" "$tc" "$fw" "$fc" \
    "$(awk "BEGIN{print $tw / ($fw > 0 ? $fw : 0.01)}")" "$4"
}
echo
echo "load before: $load; after: $load_after; cores: $(nproc); runs per job: $runs"
echo
echo "| job | tarnwick-cli | peer | ratio | target |"
echo "|---|---|---|---|---|"
row "12 lossless tracks by cue sheet" t-album f-album "<= 1 s wall"
row "silence scan, 60 min (peer: ffmpeg silencedetect)" t-scan f-scan "<= 2 s wall"
[ "${BENCH_REENCODE:-1}" = 1 ] && row "12 re-encoded tracks (peer: one 60 min re-encode)" t-reencode f-reencode "ratio about 1"
echo
echo "lossless tracks written: $tracks; decoded end to end equal to the source's decode: $exact"
echo "silences: $(tail -n1 "$out/t-scan.stderr")"
