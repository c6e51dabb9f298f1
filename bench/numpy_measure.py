#!/usr/bin/python3
# A plain NumPy script doing what sfpmeasure does for every block of a
# stored file (7-term Blackman-Harris spectrum, fundamental, 3-parameter sine
# fit, THD, SNR, SINAD, SFDR per channel), for comparing the speed only:
#   taskset -c 1 /usr/bin/python3 bench/numpy_measure.py FILE.bin6842
# (unset OPENBLAS_CORETYPE and OPENBLAS_L2_SIZE for a current NumPy's
# kernels). Prints the blocks per second; the figures are not the panel's.
import sys
import time

import numpy as np

BH7 = [0.27105140069342, 0.43329793923448, 0.21812299954311, 0.06592544638803,
       0.01081174209837, 0.00077658482522, 0.00001388721735]


def read_header(f):
    header = {}
    while True:
        line = f.readline().decode("latin-1")
        if not line or line.startswith("#"):
            return header
        key, _, value = line.strip().partition("=")
        header[key] = value


def measure(block, fs):
    channels, n = block.shape
    k = np.arange(n)
    window = sum((-1) ** i * a * np.cos(2 * np.pi * i * k / n) for i, a in enumerate(BH7))
    mean = block @ window / window.sum()
    spectrum = np.fft.rfft((block - mean[:, None]) * window, axis=1)[:, : n // 2]
    mag = np.abs(spectrum) / (n // 2) / (window.sum() / n)
    h = 7
    peak = np.argmax(mag[:, 5:], axis=1) + 5
    f0 = peak * fs / n
    t = k / fs
    figures = []
    for c in range(channels):
        theta = 2 * np.pi * f0[c] * t
        design = np.stack([np.cos(theta), np.sin(theta), np.ones(n)], axis=1)
        a, b, offset = np.linalg.solve(design.T @ design, design.T @ block[c])
        power = mag[c] ** 2
        lobe = power[max(peak[c] - h, 0): peak[c] + h].sum()
        others = power.copy()
        others[: h + 1] = 0
        harmonics = 0.0
        for order in range(1, int(min(30, (n // 2) / peak[c])) + 1):
            centre = order * peak[c]
            span = slice(max(centre - h, 0), centre + h + 1)
            if order > 1:
                harmonics += others[span].sum()
            others[span] = 0
        spur = np.delete(power, np.s_[max(peak[c] - h, 0): peak[c] + h + 1])[5:].max()
        noise = others.sum()
        figures.append((np.hypot(a, b), offset, 10 * np.log10(harmonics / lobe), 10 * np.log10(lobe / noise),
                        10 * np.log10(lobe / (noise + harmonics)), 10 * np.log10(lobe / spur)))
    return figures


def main():
    with open(sys.argv[1], "rb") as f:
        header = read_header(f)
        fs = float(header["SAMPLING_RATE_HZ"])
        channels = int(header["NUMBER_OF_CHANNELS"])
        scans = int(header["NUMBER_OF_SCANS_PER_BLOCK"])
        data = np.fromfile(f, dtype="<f8")
    blocks = data[: data.size // (channels * scans) * channels * scans].reshape(-1, channels, scans)
    start = time.perf_counter()
    for block in blocks:
        measure(block, fs)
    seconds = time.perf_counter() - start
    print(f"{len(blocks)} blocks of {channels} channels x {scans}: {seconds:.2f} s, "
          f"{len(blocks) / seconds:.1f} blocks per second")


if __name__ == "__main__":
    main()
