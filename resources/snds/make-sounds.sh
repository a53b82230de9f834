#!/bin/bash
#
# make-sounds.sh - regenerate the reminder sounds in this folder.
#
# Every sound is synthesised with SoX or spoken by eSpeak NG; nothing is
# sampled.  The output is deterministic: SoX runs in repeatable mode (-R),
# which gives its noise generator a fixed seed (the cough and the rooster's
# hoarseness use noise), and without dithering (-D).  Running the script
# twice with the same SoX and eSpeak NG versions gives byte-identical files.
#
# Needs (Debian/Ubuntu package names): sox espeak-ng
# Also uses awk, which every Debian system has, for a little arithmetic.
#
# Output: RIFF WAVE (plain PCM header), signed 16-bit little-endian, mono,
# 22050 Hz, normalised to a peak of -3 dBFS.  QSoundEffect plays these.
#
# Tones are synthesised at four times the output rate and then resampled,
# which greatly reduces the aliasing of square, sawtooth and triangle waves.
# Where a clean tone matters (beeps, pagers, cuckoo) it is built from sines.
#
# Files called *_LOOP.wav are played over and over.  Each holds exactly one
# cycle of its pattern, pause included, so the rhythm stays even, and is cut
# to an exact number of samples.  Each starts with a short fade-in from
# silence and ends in digital silence, so the seam where the end meets the
# start is silent and cannot click.
#
# Usage: resources/snds/make-sounds.sh   (writes next to this script)

set -euo pipefail

readonly RATE=22050             # delivered sample rate
readonly SYNTH_RATE=88200       # working rate for synthesis
readonly PEAK_DB=-3

missing=()
command -v sox >/dev/null 2>&1 || missing+=("sox (package sox)")
command -v espeak-ng >/dev/null 2>&1 || missing+=("espeak-ng (package espeak-ng)")
command -v awk >/dev/null 2>&1 || missing+=("awk (package mawk)")
if ((${#missing[@]})); then
    echo "make-sounds.sh: missing: ${missing[*]}" >&2
    echo "On Debian/Ubuntu: sudo apt-get install sox espeak-ng" >&2
    exit 1
fi

out_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# All SoX calls: repeatable, no dither, report warnings (e.g. clipping).
sx() { sox -R -D -V2 "$@"; }

# calc EXPR - floating-point arithmetic.
calc() { awk "BEGIN { print $1 }"; }

# gen OUT [-c CHANNELS] EFFECTS...
# Synthesise from nothing at the working rate into a mono file.  With
# several channels, synth makes one tone per channel (a chord, or
# overtones) and remix folds them into one.  Intermediate files use SoX's
# own 32-bit format, so nothing is lost before the final conversion.
gen() {
    local out=$1 channels=1
    shift
    if [[ ${1-} == -c ]]; then
        channels=$2
        shift 2
    fi
    sx -r "$SYNTH_RATE" -c "$channels" -n -c 1 "$out" "$@"
}

# silence OUT SECONDS
silence() { gen "$1" trim 0 "$2"; }

# glide OUT WAVE VIB_HZ VIB_DEPTH_START VIB_DEPTH_END "t:f t:f ..."
#
# A tone whose frequency follows a piecewise-linear contour through the
# given points (seconds:Hz, the first at 0), optionally with a vibrato of
# VIB_HZ whose depth (percent of the frequency) moves linearly from start to
# end.  SoX's synth sweeps only linearly and only once per run, so the tone
# is built from 4 ms linear sweeps, each starting at the exact phase the
# previous one ended on (synth's phase argument); the waveform stays
# continuous and there are no clicks.  The result is at half scale to leave
# headroom for filters.
glide() {
    local out=$1 wave=$2 vib_hz=$3 vib_d0=$4 vib_d1=$5 points=$6
    local -a args=()
    local line
    while read -r line; do
        # shellcheck disable=SC2206  # word splitting wanted here
        args+=($line)
    done < <(awk -v rate="$SYNTH_RATE" -v wave="$wave" -v vhz="$vib_hz" \
                 -v vd0="$vib_d0" -v vd1="$vib_d1" -v pts="$points" '
        function base(t,   i) {
            for (i = 1; i < np; i++)
                if (t <= pt[i + 1])
                    return pf[i] + (pf[i + 1] - pf[i]) * (t - pt[i]) / (pt[i + 1] - pt[i])
            return pf[np]
        }
        function freq(t,   depth) {
            depth = vd0 + (vd1 - vd0) * t / total
            return base(t) * (1 + depth / 100 * sin(2 * pi * vhz * t))
        }
        BEGIN {
            pi = atan2(0, -1)
            np = split(pts, p, " ")
            for (i = 1; i <= np; i++) {
                split(p[i], q, ":")
                pt[i] = q[1] + 0; pf[i] = q[2] + 0
            }
            total = pt[np]
            step = int(0.004 * rate)        # samples per linear piece
            samples = int(total * rate + 0.5)
            phase = 0
            for (s0 = 0; s0 < samples; s0 = s1) {
                s1 = s0 + step
                if (samples - s1 < step / 2) s1 = samples
                fa = freq(s0 / rate); fb = freq(s1 / rate); n = s1 - s0
                printf "%ssynth %ds %s %.4f:%.4f 0 %.6f\n", (s0 ? ": " : ""), n, wave, fa, fb, phase * 100
                phase += (fa + fb) / 2 * n / rate
                phase -= int(phase)
            }
        }')
    gen "$tmp/glide.sox" "${args[@]}"
    sx "$tmp/glide.sox" "$out" vol 0.5
}

# finish IN NAME [LOOP_SECONDS]
# Resample to the delivered rate, normalise, write NAME.wav.  A loop is then
# padded with silence to exactly LOOP_SECONDS, and its first and last 2 ms
# are faded so that the resampling filter's faint ringing cannot leave a
# non-zero sample at the seam.
finish() {
    local in=$1 name=$2 loop=${3-}
    local out=$out_dir/$name.wav
    local -a format=(-r "$RATE" -c 1 -b 16 -e signed-integer -t wav)
    if [[ -z $loop ]]; then
        sx "$in" "${format[@]}" "$out" rate -v "$RATE" gain -n "$PEAK_DB"
        return
    fi
    local want have
    sx "$in" -r "$RATE" "$tmp/loop.sox" rate -v "$RATE"
    want=$(calc "int($loop * $RATE + 0.5)")
    have=$(soxi -s "$tmp/loop.sox")
    if ((have > want)); then
        echo "make-sounds.sh: $name is longer than its loop of $loop s" >&2
        exit 1
    fi
    sx "$tmp/loop.sox" "${format[@]}" "$out" pad 0 "$((want - have))s" \
        fade t 0.002 -0 0.002 gain -n "$PEAK_DB"
}

# speak OUT ESPEAK-OPTIONS... TEXT
# Speech, trimmed of leading and trailing silence, rid of low rumble and
# compressed so that it is not much quieter than the tones at the same peak.
speak() {
    local out=$1
    shift
    espeak-ng -w "$tmp/speech.wav" "$@"
    sx "$tmp/speech.wav" "$tmp/speech-trimmed.sox" \
        silence 1 0.005 0.5% reverse silence 1 0.005 0.5% reverse
    sx "$tmp/speech-trimmed.sox" "$out" gain -6 highpass 120 \
        compand 0.002,0.08 6:-70,-60,-50,-20,-30,-12,0,-6 -3 -90 0.002 \
        fade h 0.005 -0 0.02 pad 0.02 0.05
}

# -- BEEP: a clean 1 kHz electronic beep -------------------------------------
gen "$tmp/beep.sox" -c 2 synth 0.4 sine 1000 sine 2000 \
    remix 1v0.93,2v0.07 fade h 0.006 0.4 0.03 pad 0.02 0.05
finish "$tmp/beep.sox" BEEP

# -- BOINK: a plucked spring; the pitch falls while it wobbles ---------------
glide "$tmp/boink-tone.sox" triangle 14 22 5 "0:420 0.05:760 0.75:170"
sx "$tmp/boink-tone.sox" "$tmp/boink.sox" \
    lowpass 2500 fade h 0.004 0.75 0.5 fade p 0 0.75 0.6 pad 0.01 0.05
finish "$tmp/boink.sox" BOINK

# -- BUZZER_1_LOOP: low, rough square-wave buzz; 0.6 s on, 0.4 s off ---------
gen "$tmp/buzz1.sox" -c 2 synth 0.6 square 110 square 116.5 \
    remix 1v0.5,2v0.5 gain -6 lowpass 6000 fade h 0.005 0.6 0.01
finish "$tmp/buzz1.sox" BUZZER_1_LOOP 1.0

# -- BUZZER_2_LOOP: higher, snarling sawtooth buzz in four quick bursts ------
gen "$tmp/buzz2-burst.sox" -c 2 synth 0.1 sawtooth 233 sawtooth 329.6 \
    remix 1v0.55,2v0.45 overdrive 8 gain -6 lowpass 6000 \
    fade h 0.004 0.1 0.008 pad 0 0.05
sx "$tmp/buzz2-burst.sox" "$tmp/buzz2.sox" repeat 3
finish "$tmp/buzz2.sox" BUZZER_2_LOOP 1.0

# -- COUGH: two throaty bursts of filtered noise over a low voiced growl -----
# cough_burst OUT SECONDS PITCH
cough_burst() {
    local out=$1 len=$2 pitch=$3
    gen "$tmp/cough-noise.sox" synth "$len" pinknoise \
        gain -12 sinc 250-3500 equalizer 700 1q +8 equalizer 1600 1.5q +5
    glide "$tmp/cough-growl.sox" sawtooth 0 0 0 \
        "0:$pitch $len:$(calc "$pitch * 0.7")"
    sx "$tmp/cough-growl.sox" "$tmp/cough-growl-lp.sox" lowpass 900 vol 0.6
    sx -m "$tmp/cough-noise.sox" "$tmp/cough-growl-lp.sox" "$out" \
        fade h 0.006 "$len" 0 fade t 0 "$len" "$(calc "$len - 0.01")"
}
cough_burst "$tmp/cough1.sox" 0.42 150
cough_burst "$tmp/cough2.sox" 0.34 135
silence "$tmp/cough-gap.sox" 0.1
sx "$tmp/cough2.sox" "$tmp/cough2-soft.sox" vol 0.7
sx "$tmp/cough1.sox" "$tmp/cough-gap.sox" "$tmp/cough2-soft.sox" \
   "$tmp/cough.sox" pad 0.01 0.05
finish "$tmp/cough.sox" COUGH

# -- CUCKOO_LOOP: soft two-note call, G5 falling a minor third to E5 ----------
# flute OUT SECONDS HZ - a sine with a breath of overtones and a soft attack.
flute() {
    local out=$1 len=$2 hz=$3
    gen "$out" -c 3 synth "$len" sine "$hz" sine "$(calc "2 * $hz")" \
        sine "$(calc "3 * $hz")" remix 1v0.86,2v0.1,3v0.04 \
        tremolo 5.5 12 fade q 0.035 "$len" 0.09
}
flute "$tmp/cuckoo-hi.sox" 0.24 784
flute "$tmp/cuckoo-lo.sox" 0.36 659.26
silence "$tmp/cuckoo-gap.sox" 0.1
sx "$tmp/cuckoo-hi.sox" "$tmp/cuckoo-gap.sox" "$tmp/cuckoo-lo.sox" \
   "$tmp/cuckoo.sox"
finish "$tmp/cuckoo.sox" CUCKOO_LOOP 1.2

# -- HEY_1 / HEY_2: "Hey!" in a low male and a high female voice ------------
speak "$tmp/hey1.sox" -v en-us+m3 -p 30 -s 150 -a 180 "Hey!"
finish "$tmp/hey1.sox" HEY_1
speak "$tmp/hey2.sox" -v en-gb+f4 -p 80 -s 170 -a 180 "Hey!"
finish "$tmp/hey2.sox" HEY_2

# -- OH-NO: "Oh no!" ---------------------------------------------------------
speak "$tmp/ohno.sox" -v en-us+m1 -p 55 -s 125 -a 180 "Oh no!"
finish "$tmp/ohno.sox" OH-NO

# -- PAGER_1_LOOP: four quick chirps at 2.4 kHz, then a pause ----------------
gen "$tmp/pager1-chirp.sox" -c 2 synth 0.06 sine 2400 sine 7200 \
    remix 1v0.85,2v0.15 fade h 0.003 0.06 0.006 pad 0 0.05
sx "$tmp/pager1-chirp.sox" "$tmp/pager1.sox" repeat 3
finish "$tmp/pager1.sox" PAGER_1_LOOP 1.0

# -- PAGER_2_LOOP: a rising three-note trill, twice, then a pause -------------
# pager_note OUT HZ
pager_note() {
    gen "$1" -c 3 synth 0.075 sine "$2" sine "$(calc "2 * $2")" \
        sine "$(calc "3 * $2")" remix 1v0.68,2v0.22,3v0.1 \
        fade h 0.003 0.075 0.008
}
pager_note "$tmp/pager2-a.sox" 1600
pager_note "$tmp/pager2-b.sox" 2000
pager_note "$tmp/pager2-c.sox" 2400
silence "$tmp/pager2-gap.sox" 0.025
silence "$tmp/pager2-mid.sox" 0.1
sx "$tmp/pager2-a.sox" "$tmp/pager2-gap.sox" "$tmp/pager2-b.sox" \
   "$tmp/pager2-gap.sox" "$tmp/pager2-c.sox" "$tmp/pager2-mid.sox" \
   "$tmp/pager2-trill.sox"
sx "$tmp/pager2-trill.sox" "$tmp/pager2.sox" repeat 1
finish "$tmp/pager2.sox" PAGER_2_LOOP 1.2

# -- ROOSTER: "cock-a-doodle-doooo", a hoarse, warbling crow ------------------
# crow_syllable OUT "t:f ..." VIBRATO_DEPTH
crow_syllable() {
    local out=$1 contour=$2 depth=$3 len
    len=${contour##* }
    len=${len%%:*}
    glide "$tmp/crow-tone.sox" sawtooth 23 "$depth" "$depth" "$contour"
    gen "$tmp/crow-hiss.sox" synth "$len" pinknoise gain -12 sinc 1000-4000 vol 0.25
    sx -m "$tmp/crow-tone.sox" "$tmp/crow-hiss.sox" "$out" \
        sinc 350-5000 equalizer 1700 1q +8 gain -8 overdrive 6 \
        tremolo 31 35 fade h 0.01 "$len" 0.04
}
crow_syllable "$tmp/crow1.sox" "0:480 0.11:620" 2
crow_syllable "$tmp/crow2.sox" "0:560 0.09:640" 2
crow_syllable "$tmp/crow3.sox" "0:620 0.17:860" 3
crow_syllable "$tmp/crow4.sox" "0:820 0.12:1000 0.45:1080 0.7:900 0.85:640" 4
silence "$tmp/crow-gap.sox" 0.035
sx "$tmp/crow1.sox" "$tmp/crow-gap.sox" "$tmp/crow2.sox" "$tmp/crow-gap.sox" \
   "$tmp/crow3.sox" "$tmp/crow-gap.sox" "$tmp/crow4.sox" "$tmp/rooster.sox" \
   pad 0.01 0.05
finish "$tmp/rooster.sox" ROOSTER

# -- SIREN: two wails, sweeping up and down ----------------------------------
glide "$tmp/siren-tone.sox" triangle 0 0 0 \
    "0:650 0.42:1350 0.84:650 1.26:1350 1.68:650"
sx "$tmp/siren-tone.sox" "$tmp/siren.sox" \
    lowpass 4000 fade h 0.03 1.68 0.08 pad 0.01 0.05
finish "$tmp/siren.sox" SIREN

# -- VITAL_LOOP: a monitor blip once a second (60 beats per minute) ----------
gen "$tmp/vital.sox" -c 2 synth 0.13 sine 960 sine 2880 \
    remix 1v0.9,2v0.1 fade h 0.004 0.13 0.025
finish "$tmp/vital.sox" VITAL_LOOP 1.0

echo "Sounds written to $out_dir"
