#!/usr/bin/env python3
"""Start and length errors of an MP3 piece cut from SOURCE at [START, STOP) s.

Both files are decoded by ffmpeg (which honours the LAME tag's delay and
padding, as gapless players do). The length error is the piece's decoded
length minus (STOP - START) * rate. The start error is where the piece's
audio lies in the source, minus START: the lag at which a stretch of the
piece (a few frames in, past a start that a copy without a reservoir
garbles) matches the source best.

Usage: piece-errors.py SOURCE START STOP PIECE
Prints: start_error_samples length_error_samples rate
"""
import array
import subprocess
import sys

MARGIN = 8 * 1152  # how far from START the piece may start
PROBE_AT = 4 * 1152  # where in the piece the match is taken
PROBE = 1024  # samples compared


def decode(args):
    pcm = subprocess.run(['ffmpeg', '-nostdin', '-v', 'error'] + args + ['-f', 's16le', '-ac', '2', '-'],
                         check=True, stdout=subprocess.PIPE).stdout
    samples = array.array('h')
    samples.frombytes(pcm[:len(pcm) // 4 * 4])
    return samples


def rate_of(path):
    out = subprocess.run(['ffprobe', '-v', 'error', '-select_streams', 'a:0', '-show_entries',
                          'stream=sample_rate', '-of', 'csv=p=0', path],
                         check=True, stdout=subprocess.PIPE, text=True).stdout
    return int(out.split()[0].rstrip(','))


def main():
    source, start, stop, piece = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), sys.argv[4]
    rate = rate_of(source)
    first = round(start * rate)
    length_error = len(decode(['-i', piece])) // 2 - (round(stop * rate) - first)

    head = decode(['-i', piece, '-af', 'atrim=end_sample=%d' % (PROBE_AT + PROBE)])
    window = decode(['-i', source, '-af', 'atrim=start_sample=%d:end_sample=%d'
                     % (first - MARGIN, first + MARGIN + PROBE_AT + PROBE)])
    probe = head[2 * PROBE_AT:2 * (PROBE_AT + PROBE)]
    best, best_lag = None, None
    for lag in range(-MARGIN, MARGIN + 1):
        at = 2 * (MARGIN + lag + PROBE_AT)
        if abs(window[at] - probe[0]) > 256:
            continue  # cheap rejection before the full comparison
        misfit = sum(abs(window[at + k] - probe[k]) for k in range(len(probe)))
        if best is None or misfit < best:
            best, best_lag = misfit, lag
    print(best_lag, length_error, rate)


if __name__ == '__main__':
    main()
