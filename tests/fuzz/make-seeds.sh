#!/usr/bin/env bash
# Writes the fuzzers' seed inputs into OUTDIR/<target>/: a few small valid
# inputs each, the sound files made with sox and lame. Deterministic: sox
# without dither and with a fixed random seed.
# usage: tests/fuzz/make-seeds.sh OUTDIR
set -euo pipefail
out=${1:?usage: make-seeds.sh OUTDIR}
for tool in sox lame; do
  command -v "$tool" >/dev/null || { echo "make-seeds: $tool is missing (./scripts/setup.sh installs it)" >&2; exit 1; }
done
rm -rf "$out"
mkdir -p "$out"/{typed_time,cli_args,output_naming,desktop_entry,mp3_reader,mp3_copy_plan,wav_reader,track_list}

# seed TARGET NAME TEXT: one input, written with printf's escapes.
seed() { printf -- "$3" > "$out/$1/$2"; }

seed typed_time initial '00:00:00'
seed typed_time plain '1:2:3'
seed typed_time last '23:59:59'
seed typed_time hours '24:00:00'
seed typed_time colons '::1:2:3::'
seed typed_time letters 'aa:bb:cc'
seed typed_time signs ' 7:+8:-9x'
seed typed_time short '1:2'

seed cli_args split 'in.mp3\n00:00:01\n00:01:30.5\n--format\nwav\n--outdir=/tmp/x'
seed cli_args split-mp3 'a.mp3\n0:0:0\n01:02:03.045\n--bitrate\n128\n--samplerate\n22.05'
seed cli_args join 'out.mp3\na.wav\nb.mp3\n--overwrite\n--samplerate=48\n--bitrate=100'
seed cli_args ended '--\n--bitrate\n100:00:00.1'

# Byte 0: bit 0 = MP3 output; bytes 1-4: piece index (little endian); then the name.
seed output_naming taken '\001\000\000\000\000a.mp3'
seed output_naming to-wav '\000\002\000\000\000Song.MP3'
seed output_naming twice '\001\000\000\000\000track.wav.WAV'
seed track_list cue 'PERFORMER "Band"\nTITLE "Album"\nREM DATE 1999\nFILE "album.wav" WAVE\n  TRACK 01 AUDIO\n    TITLE "One"\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 00 01:58:00\n    INDEX 01 02:00:00\n'
seed track_list cue-crlf 'FILE "a.mp3" MP3\r\n  track 01 audio\r\n    index 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    INDEX 01 101:00:00\r\n'
seed track_list cue-two-files 'FILE "side-a.wav" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\nFILE "album.mp3" MP3\n  TRACK 02 AUDIO\n    INDEX 01 00:00:00\n'
seed track_list labels '0.000000\t12.500000\tOne\n12.5\t12.5\tPoint\n\\\t100\t200\n'
seed output_naming last-index '\000\377\377\377\177deep/er/folder'
seed output_naming negative '\001\373\377\377\377file/x'

seed desktop_entry entry '[Desktop Entry]\nName=Browser\nExec=browser %%u\n'
seed desktop_entry quoted '[Desktop Entry]\nExec="/opt/my browser/run" --new-window "%%U" --rate=50%%%%\n'
seed desktop_entry escaped '[Desktop Entry]\nExec=sh -c "exec \\\\"\\\\$0\\\\" \\\\`x\\\\`" %%f\\s%%i\n[Other]\nExec=no\n'
seed desktop_entry line 'viewer --file %%F'

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wav() { local name=$1; shift; sox -D -R -n "$@" "$out/wav_reader/$name.wav" synth 0.02 sine 440; }
wav s16-mono -r 8000 -c 1 -b 16 -e signed-integer
wav u8-stereo -r 8000 -c 2 -b 8 -e unsigned-integer
wav s24 -r 11025 -c 1 -b 24 -e signed-integer
wav s32 -r 8000 -c 1 -b 32 -e signed-integer
wav float -r 8000 -c 1 -b 32 -e floating-point
wav double -r 8000 -c 1 -b 64 -e floating-point
wav extensible-4ch -r 8000 -c 4 -b 16 -e signed-integer
wav ima-adpcm -r 8000 -c 2 -e ima-adpcm
wav ms-adpcm -r 8000 -c 1 -e ms-adpcm
wav ulaw -r 8000 -c 1 -e u-law
wav alaw -r 8000 -c 1 -e a-law

mp3() { local name=$1 rate=$2 channels=$3; shift 3
        sox -D -R -n -r "$rate" -c "$channels" -b 16 "$work/$name.wav" synth 0.1 sine 440
        lame --quiet "$@" "$work/$name.wav" "$out/mp3_reader/$name.mp3"; }
mp3 mpeg1-joint 32000 2 -b 32 --resample 32
mp3 mpeg2-vbr 16000 1 -V 9 --resample 16
mp3 mpeg25-cbr 8000 1 -b 8 --resample 8
mp3 no-tag 22050 1 -b 16 --resample 22.05 -t
mp3 id3v2 8000 1 -b 8 --resample 8 --add-id3v2 --tt Seed
mp3 id3v1 8000 1 -b 8 --resample 8 --id3v1-only --ta Seed
mp3 crc 44100 2 -b 128 --resample 44.1 -p
cp "$out"/mp3_reader/*.mp3 "$out/mp3_copy_plan/"
