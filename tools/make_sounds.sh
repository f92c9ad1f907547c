#!/usr/bin/env bash
# Makes the three sound effects under resources/sounds/ with sox.
# Every note is a sum of a few sine partials with a soft attack and a decay
# that reaches silence, so nothing clicks; each sound is normalised below full
# scale so the ADPCM encoder has headroom and nothing clips.
# Usage: tools/make_sounds.sh   (run from anywhere; needs sox)
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=resources/sounds
mkdir -p "$OUT"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# tone RATE START LENGTH ATTACK SHAPE FREQ[:END] AMP OUT
# One note of LENGTH seconds starting at START, built from the fundamental
# (relative level 1), the octave (0.25) and the twelfth (0.08), which gives a
# mellow, mallet-like colour. FREQ:END glides exponentially. SHAPE "ring"
# decays quadratically to zero (a struck note); "hum" holds and then releases
# over the last 40 % (a sung note).
tone() {
    local rate=$1 start=$2 len=$3 attack=$4 shape=$5 freq=$6 amp=$7 out=$8
    local f1=${freq%%:*} f2=${freq##*:}
    local partials=() k
    for k in 1 2 3; do
        local p="$WORK/partial$k.wav"
        sox -n -r "$rate" -c 1 -b 16 "$p" \
            synth "$len" sine "$(echo "$f1 * $k" | bc -l):$(echo "$f2 * $k" | bc -l)"
        partials+=("$p")
    done
    local envelope
    if [ "$shape" = ring ]; then
        envelope=(fade t "$attack" -0 "$len" fade t 0 -0 "$len")
    else
        envelope=(fade q "$attack" -0 "$(echo "$len * 0.4" | bc -l)")
    fi
    sox -m -v 0.7 "${partials[0]}" -v 0.175 "${partials[1]}" -v 0.056 "${partials[2]}" "$out" \
        vol "$amp" "${envelope[@]}" pad "$start"
}

# finish IN OUT SAMPLES PEAK_DB ENCODING...
# Exact length in samples, a short fade to silence at the very end, peak at PEAK_DB.
finish() {
    local in=$1 out=$2 samples=$3 peak=$4
    shift 4
    sox "$in" -b 16 "$WORK/padded.wav" pad 0 2
    sox "$WORK/padded.wav" "$WORK/exact.wav" trim 0 "${samples}s" fade h 0 "${samples}s" 0.02 gain -n "$peak"
    sox -D "$WORK/exact.wav" "$@" "$out"
}

# CLICK: 148 samples (about 13 ms) of 8-bit PCM at 11,025 Hz: a soft wooden
# tick, a 1.6 kHz and a 700 Hz partial under a fast exponential decay.
sox -n -r 11025 -c 1 -b 16 "$WORK/tick_hi.wav" synth 148s sine 1600
sox -n -r 11025 -c 1 -b 16 "$WORK/tick_lo.wav" synth 148s sine 700
sox -m -v 0.3 "$WORK/tick_hi.wav" -v 0.5 "$WORK/tick_lo.wav" "$WORK/click.wav" \
    fade q 0.0008 -0 148s fade l 0 -0 148s
finish "$WORK/click.wav" "$OUT/click.wav" 148 -6 -e unsigned-integer -b 8

# DONE: a rising C major arpeggio landing on a ringing chord, 34,408 samples
# (34 whole blocks of 1,012, about 1.56 s) of Microsoft ADPCM at 22,050 Hz.
R=22050
tone $R 0.00 0.34 0.004 ring 523.25 1.0 "$WORK/d1.wav"  # C5
tone $R 0.11 0.34 0.004 ring 659.26 1.0 "$WORK/d2.wav"  # E5
tone $R 0.22 0.34 0.004 ring 783.99 1.0 "$WORK/d3.wav"  # G5
tone $R 0.33 1.24 0.004 ring 1046.50 1.0 "$WORK/d4.wav" # C6
tone $R 0.33 1.24 0.006 ring 523.25 0.45 "$WORK/d5.wav" # C5 under it
tone $R 0.33 1.24 0.006 ring 783.99 0.35 "$WORK/d6.wav" # G5 under it
tone $R 0.40 0.90 0.010 ring 1318.51 0.18 "$WORK/d7.wav" # a quiet E6 sparkle
sox -m -v 0.3 "$WORK"/d1.wav -v 0.3 "$WORK"/d2.wav -v 0.3 "$WORK"/d3.wav -v 0.3 "$WORK"/d4.wav \
    -v 0.3 "$WORK"/d5.wav -v 0.3 "$WORK"/d6.wav -v 0.3 "$WORK"/d7.wav "$WORK/done.wav" gain -6 reverb 20 50 40
finish "$WORK/done.wav" "$OUT/done.wav" 34408 -3 -e ms-adpcm

# TRYAGAIN: three falling sung notes, "try - a - gain", the last sagging a
# semitone; 12,000 samples (24 whole blocks of 500, about 1.09 s) of Microsoft
# ADPCM at 11,025 Hz.
R=11025
tone $R 0.00 0.28 0.015 hum 493.88 1.0 "$WORK/t1.wav"        # B4
tone $R 0.25 0.24 0.015 hum 392.00 0.9 "$WORK/t2.wav"        # G4
tone $R 0.46 0.62 0.020 hum 329.63:311.13 1.0 "$WORK/t3.wav" # E4 down to E-flat 4
sox -m -v 0.5 "$WORK"/t1.wav -v 0.5 "$WORK"/t2.wav -v 0.5 "$WORK"/t3.wav "$WORK/tryagain.wav" gain -6 reverb 15 50 30
finish "$WORK/tryagain.wav" "$OUT/tryagain.wav" 12000 -3 -e ms-adpcm

for f in click done tryagain; do soxi "$OUT/$f.wav" | grep -E 'Sample Rate|Duration|Encoding'; done
