#!/usr/bin/python3
# Debian's python3, which has numpy and scipy, rather than whichever python3 is first in PATH.
"""Measures the sound of `orvane-cli convert` against sox's rate effect on the same inputs,
both made and measured in one run:
  THD+N of a 1 kHz tone at 22,050 Hz 16-bit     ours <= sox + 0.5 dB
  the same at 8-bit                             ours <= sox + 0.5 dB
  worst alias of a sweep above 11.5 kHz         ours <= sox + 1 dB
and checks the frame count and format of every converted file. Exit status 0 when every target
is met, 1 when one is missed or a converted file is wrong, 2 when a program fails to run."""

import argparse
import pathlib
import shutil
import subprocess
import sys
import tempfile

import numpy as np
from scipy.io import wavfile
from scipy.signal import windows

IN_RATE = 44100
OUT_RATE = 22050
TONE_HZ = 1000.0
SWEEP_SECONDS = 20.0
SWEEP_FROM_HZ, SWEEP_TO_HZ = 20.0, 20000.0
ALIAS_ABOVE_HZ = 11500.0
WINDOW = 1024
HOP = 256
BINS_AROUND = 2      # the bins either side of the one read, for a frequency between bins
FRAME_SLACK = 2      # frames a resampler may add or drop at the ends


def run(command):
    print("  $ " + " ".join(map(str, command)))
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if done.returncode != 0:
        print(f"quality.py: failed ({done.returncode}): {done.stderr.strip()}", file=sys.stderr)
        sys.exit(2)


def read_wave(path, rate):
    """The samples of a mono PCM WAVE file as floats in [-1, 1)."""
    try:
        file_rate, samples = wavfile.read(path)
    except ValueError as error:
        sys.exit(f"quality.py: {path}: {error}")
    if file_rate != rate or samples.ndim != 1:
        sys.exit(f"quality.py: {path} is {file_rate} Hz, {samples.ndim}-D; expected {rate} Hz mono")
    if samples.dtype == np.uint8:
        return (samples.astype(np.float64) - 128) / 128
    if samples.dtype == np.int16:
        return samples / 32768.0
    sys.exit(f"quality.py: {path} holds {samples.dtype} samples, expected 8 or 16-bit")


def thd_n_db(samples):
    """Residual power after a least-squares fit of DC, the tone and its harmonics below Nyquist,
    against the fitted tone's power, over seconds 1 to 9 (clear of any start-up ripple)."""
    t = np.arange(OUT_RATE, 9 * OUT_RATE) / OUT_RATE
    segment = samples[OUT_RATE:9 * OUT_RATE]
    harmonics = np.arange(1, int(OUT_RATE / 2 / TONE_HZ) + 1)
    phases = 2 * np.pi * TONE_HZ * np.outer(t, harmonics)
    basis = np.column_stack([np.ones_like(t), np.cos(phases), np.sin(phases)])
    coefficients = np.linalg.lstsq(basis, segment, rcond=None)[0]
    tone_columns = [1, 1 + len(harmonics)]
    tone = basis[:, tone_columns] @ coefficients[tone_columns]
    residual = segment - basis @ coefficients
    return 10 * np.log10(np.sum(residual ** 2) / np.sum(tone ** 2))


def power_spectra(samples):
    """Frame centres in seconds and the power spectrum of each Blackman-Harris windowed frame."""
    frames = np.lib.stride_tricks.sliding_window_view(samples, WINDOW)[::HOP]
    centres = (np.arange(len(frames)) * HOP + WINDOW / 2) / OUT_RATE
    return centres, np.abs(np.fft.rfft(frames * windows.blackmanharris(WINDOW))) ** 2


def band_power(spectra, hz):
    """The power of each frame in the bins around hz (one frequency, or one per frame)."""
    centre = np.rint(np.broadcast_to(hz, len(spectra)) * WINDOW / OUT_RATE).astype(int)
    bins = np.clip(centre[:, None] + np.arange(-BINS_AROUND, BINS_AROUND + 1), 0, WINDOW // 2)
    return spectra[np.arange(len(spectra))[:, None], bins].sum(axis=1)


def sweep_hz(seconds):
    # sox's `synth 20 sine 20/20000`: the '/' sweep is exponential (a fixed number of semitones
    # per second), not linear.
    return SWEEP_FROM_HZ * (SWEEP_TO_HZ / SWEEP_FROM_HZ) ** (seconds / SWEEP_SECONDS)


def worst_alias_db(sweep, tone):
    """The loudest image at 22,050 - f(t) while the sweep is above 11.5 kHz, against the tone
    measured with the same window and bins."""
    tone_level = np.median(band_power(power_spectra(tone)[1], TONE_HZ))
    centres, spectra = power_spectra(sweep)
    above = sweep_hz(centres) > ALIAS_ABOVE_HZ
    alias = band_power(spectra[above], OUT_RATE - sweep_hz(centres[above]))
    return 10 * np.log10(alias.max() / tone_level)


def sweep_lag_bins(sweep):
    """How far, in bins, the sweep's peak strays from f(t) between 1 and 10 kHz: a delayed or
    stretched output would have the alias read at the wrong bins."""
    centres, spectra = power_spectra(sweep)
    inside = (sweep_hz(centres) > 1000) & (sweep_hz(centres) < 10000)
    expected = sweep_hz(centres[inside]) * WINDOW / OUT_RATE
    return np.max(np.abs(np.argmax(spectra[inside], axis=1) - expected))


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cli", required=True, type=pathlib.Path, help="the orvane-cli to measure")
    parser.add_argument("--work", type=pathlib.Path, default=None,
                        help="where a fresh folder for the files goes (removed at the end)")
    args = parser.parse_args()
    for program in ("sox", args.cli):
        if shutil.which(program) is None:
            print(f"quality.py: {program} is not an executable", file=sys.stderr)
            return 2
    work = pathlib.Path(tempfile.mkdtemp(prefix="orvane-quality.", dir=args.work))
    try:
        return measure(args.cli.resolve(), work)
    finally:
        shutil.rmtree(work)


def convert_both(cli, source, bits, work):
    """Ours and sox's conversion of source to 22,050 Hz at bits, each of the expected length."""
    ours, theirs = work / f"ours-{bits}-{source.name}", work / f"sox-{bits}-{source.name}"
    run([cli, "convert", source, ours] + (["--bits", "8"] if bits == 8 else []))
    run(["sox", "-R", source, "-r", "22050"] + (["-b", "8"] if bits == 8 else []) + [theirs])
    expected = round(len(read_wave(source, IN_RATE)) * OUT_RATE / IN_RATE)
    converted = {}
    for side, path in (("ours", ours), ("sox", theirs)):
        converted[side] = read_wave(path, OUT_RATE)
        if abs(len(converted[side]) - expected) > FRAME_SLACK:
            sys.exit(f"quality.py: {path.name} has {len(converted[side])} frames, expected {expected}")
    return converted


def measure(cli, work):
    print(f"== inputs and conversions in {work}")
    sine, sweep = work / "sine.wav", work / "sweep.wav"
    run(["sox", "-R", "-n", "-r", "44100", "-b", "16", "-c", "1", sine,
         "synth", "10", "sine", "1000", "vol", "0.5"])
    run(["sox", "-R", "-n", "-r", "44100", "-b", "16", "-c", "1", sweep,
         "synth", "20", "sine", "20/20000", "vol", "0.5"])
    tone16, tone8 = convert_both(cli, sine, 16, work), convert_both(cli, sine, 8, work)
    swept = convert_both(cli, sweep, 16, work)
    for side, samples in swept.items():
        lag = sweep_lag_bins(samples)
        if lag > BINS_AROUND:
            sys.exit(f"quality.py: the {side} sweep is {lag:.1f} bins off its frequency law")

    measures = [
        ("THD+N 1 kHz, 16-bit", 0.5, lambda side: thd_n_db(tone16[side])),
        ("THD+N 1 kHz, 8-bit", 0.5, lambda side: thd_n_db(tone8[side])),
        ("worst alias > 11.5 kHz", 1.0, lambda side: worst_alias_db(swept[side], tone16[side])),
    ]
    rows, failed = [], False
    for name, slack, measure_db in measures:
        ours, theirs = measure_db("ours"), measure_db("sox")
        passed = ours <= theirs + slack
        failed |= not passed
        rows.append((name, f"{ours:.2f}", f"{theirs:.2f}", f"{ours - theirs:+.2f}",
                     f"<= sox + {slack}", "PASS" if passed else "FAIL"))

    print()
    print(f"orvane-cli: {cli}")
    print("frame counts within 2 of round(frames x 22050/44100); sweeps on their frequency law")
    for row in [("measurement (dB)", "ours", "sox", "difference", "target", "result")] + rows:
        print(f"{row[0]:<24} {row[1]:>8} {row[2]:>8} {row[3]:>10} {row[4]:>14}  {row[5]}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
