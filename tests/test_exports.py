#!/usr/bin/python3
"""sfpfile's NumPy and HDF5 exports, read back by numpy and h5py alone.

The input is recorded by the real sfprecord from simulated cards whose
signals (triangle, ramp and square waves without noise) are computed here
from the closed form in driver/SIMULATOR.md; the time stamps are compared
with the ones numpy reads straight from the recording. A crafted file of
4-byte floats without time stamps covers the other sample format. The
README's snippet on working with the data runs as printed.

Usage: test_exports.py SFPRECORD SFPFILE README.md
Exits with 77 (skipped) when numpy or h5py is missing.
"""
import math
import os
import re
import subprocess
import sys
import tempfile
import unittest

try:
    import h5py
    import numpy as np
except ImportError as missing:
    print(f"skipped: {missing}")
    sys.exit(77)

SFPRECORD, SFPFILE, README = sys.argv[1:4]

RATE = 10000.0
SCANS = 256
BLOCKS = 6
# (card, channel, wave, freq, amp, offset, phase); noise=0 makes every
# sample an exact function of the scan index.
SIGNALS = [
    (1, 1, "triangle", 50.0, 1.5, 0.25, 0.0),
    (1, 3, "ramp", 130.0, 2.0, -0.5, 90.0),
    (2, 1, "square", 70.0, 0.75, 0.125, 0.0),
    (2, 16, "triangle", 333.3, 3.0, 0.0, 45.0),
]
NAMES = ["FC1/CH1", "FC1/CH3", "FC2/CH1", "FC2/CH16"]


def sim_config():
    lines = ["carrier vxi slot=2"]
    for card in (1, 2):
        lines.append(f"fc {card}")
        for c, channel, wave, freq, amp, offset, phase in SIGNALS:
            if c == card:
                lines.append(f"signal ch={channel} wave={wave} freq={freq} amp={amp} "
                             f"offset={offset} phase={phase} noise=0")
    return "\n".join(lines)


def phase_units(x):
    """floor(frac(x) 2^64); a product that reaches 2^64 counts as 0."""
    units = math.floor((x - math.floor(x)) * 2.0**64)
    return 0 if units >= 2**64 else int(units)


def wave_value(wave, p):
    u = p >> 32
    if wave == "triangle":
        return (2**30 - abs(((u + 2**30) % 2**32) - 2**31)) / 2**30
    if wave == "square":
        return 1.0 if u < 2**31 else -1.0
    return u / 2**31 if u < 2**31 else (u - 2**32) / 2**31


def expected_rows(first_scan, count):
    """The simulator's samples (gain 1), one row per scan."""
    rows = np.empty((count, len(SIGNALS)))
    for column, (_, _, wave, freq, amp, offset, phase) in enumerate(SIGNALS):
        start, step = phase_units(phase / 360.0), phase_units(freq / RATE)
        for row in range(count):
            p = (start + (first_scan + row) * step) % 2**64
            rows[row, column] = 1.0 * (offset + amp * wave_value(wave, p))
    return rows


def raw_stamps(path):
    """seconds * 1e9 + nanoseconds of every scan, straight from the file."""
    with open(path, "rb") as f:
        data = f.read()
    start = data.index(b"\n#\n") + 3
    block = np.dtype([("s", "<i4", SCANS), ("ns", "<i4", SCANS), ("v", "<f8", (len(SIGNALS), SCANS))])
    blocks = np.frombuffer(data, dtype=block, offset=start)
    return (blocks["s"].astype(np.int64) * 1000000000 + blocks["ns"]).reshape(-1)


def run(*arguments, env=None):
    return subprocess.run(arguments, capture_output=True, text=True, timeout=60, env=env)


class Exports(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.recording = os.path.join(cls.dir.name, "run.bin6842")
        env = dict(os.environ, TRELLIN_SIM=sim_config())
        r = run(SFPRECORD, "--cards", "VXI0::2::INSTR:1,VXI0::2::INSTR:2", "--channels", "1,3;0x8001",
                "--rate", str(RATE), "--scans", str(SCANS), "--blocks", str(BLOCKS), "--timestamps",
                "--output", cls.recording, env=env)
        assert r.returncode == 0, r.stderr
        cls.rows = expected_rows(0, BLOCKS * SCANS)
        cls.stamps = raw_stamps(cls.recording)

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def export(self, command, output, *options):
        r = run(SFPFILE, command, self.recording, self.path(output), *options)
        self.assertEqual(r.returncode, 0, r.stderr)

    def check_stamps(self, stamps, first_scan):
        self.assertEqual(stamps.dtype, np.dtype("<i8"))
        np.testing.assert_array_equal(stamps, self.stamps[first_scan:first_scan + len(stamps)])
        # The card stamps each scan at the trigger time plus scan / rate.
        np.testing.assert_array_equal(np.diff(stamps), np.full(len(stamps) - 1, 100000))

    def test_npy(self):
        self.export("npy", "run.npy")
        with open(self.path("run.npy"), "rb") as f:
            major, minor = np.lib.format.read_magic(f)
            shape, fortran, dtype = np.lib.format.read_array_header_1_0(f)
            self.assertEqual(((major, minor), fortran, f.tell() % 64), ((1, 0), False, 0))
        data = np.load(self.path("run.npy"), mmap_mode="r")
        self.assertIsInstance(data, np.memmap)
        self.assertEqual((data.shape, data.dtype), ((BLOCKS * SCANS, 4), np.dtype("<f8")))
        self.assertTrue(data.flags.c_contiguous)
        np.testing.assert_array_equal(data, self.rows)
        self.check_stamps(np.load(self.path("run.time.npy"), mmap_mode="r"), 0)

    def test_hdf5(self):
        for options in ([], ["--compress"]):
            with self.subTest(options=options):
                self.export("hdf5", "run.h5", *options)
                with h5py.File(self.path("run.h5"), "r") as f:
                    data = f["data"]
                    self.assertEqual((data.shape, data.dtype), ((BLOCKS * SCANS, 4), np.dtype("<f8")))
                    self.assertEqual(data.chunks[1], 4)
                    self.assertEqual(data.chunks[0] % SCANS, 0)
                    self.assertEqual(data.compression, "gzip" if options else None)
                    np.testing.assert_array_equal(data[...], self.rows)
                    self.check_stamps(f["time"][...], 0)
                    attrs = f.attrs
                    self.assertEqual(attrs["sampling_rate_hz"], RATE)
                    self.assertEqual(attrs["scans_per_block"], SCANS)
                    self.assertEqual(list(attrs["channel_names"]), NAMES)
                    self.assertEqual(list(attrs["channel_masks"]), [0x0005, 0x8001])
                    self.assertEqual(attrs["time_offset_s"], 0.0)
                    self.assertEqual(attrs["device"], "Trellin 6842")
                    self.assertEqual(attrs["source_file"], "run.bin6842")
                    self.assertEqual(attrs["first_block"], 1)
                    self.assertEqual((data.attrs["units"], f["time"].attrs["units"]), ("V", "ns"))

    def test_block_range(self):
        self.export("npy", "part.npy", "--blocks", "2:4")
        self.export("hdf5", "part.h5", "--blocks", "2:4")
        first, count = SCANS, 3 * SCANS
        with h5py.File(self.path("part.h5"), "r") as f:
            np.testing.assert_array_equal(f["data"][...], self.rows[first:first + count])
            self.check_stamps(f["time"][...], first)
            self.assertEqual(f.attrs["first_block"], 2)
        np.testing.assert_array_equal(np.load(self.path("part.npy")), self.rows[first:first + count])
        self.check_stamps(np.load(self.path("part.time.npy")), first)

    def test_floats_without_stamps(self):
        # No FORMAT line: 4-byte floats. Two cards, channels FC1/CH1, FC1/CH2
        # and FC2/CH9; four blocks of five scans, then a torn tail.
        scans, channels, blocks = 5, 3, 4
        header = ("DEVICE=Trellin 6842\nSAMPLING_RATE_HZ=2000.000000\nNUMBER_OF_CHANNELS=3\n"
                  "NUMBER_OF_SCANS_PER_BLOCK=5\nNUMBER_OF_FUNCTION_CARDS=2\nCHANNEL_MASK_FC1=0x0003\n"
                  "CHANNEL_MASK_FC2=0x0100\nTIME_OFFSET=1.500000\nTIMESTAMPS=0\n#\n")
        values = np.array([[[b * 100 + c * 10 + s / 8 for s in range(scans)] for c in range(channels)]
                           for b in range(blocks)], dtype="<f4")
        path = self.path("floats.bin6842")
        with open(path, "wb") as f:
            f.write(header.encode("ascii") + values.tobytes() + b"torn")
        expected = values.transpose(0, 2, 1).reshape(-1, channels).astype(np.float64)
        for command, output in (("npy", "floats.npy"), ("hdf5", "floats.h5")):
            r = run(SFPFILE, command, path, self.path(output))
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertIn("partial block of 4 bytes", r.stderr)
        np.testing.assert_array_equal(np.load(self.path("floats.npy")), expected)
        self.assertFalse(os.path.exists(self.path("floats.time.npy")))
        with h5py.File(self.path("floats.h5"), "r") as f:
            np.testing.assert_array_equal(f["data"][...], expected)
            self.assertNotIn("time", f)
            self.assertEqual(list(f.attrs["channel_names"]), ["FC1/CH1", "FC1/CH2", "FC2/CH9"])
            self.assertEqual((f.attrs["time_offset_s"], f.attrs["scans_per_block"]), (1.5, scans))

    def test_readme_snippet(self):
        with open(README, encoding="utf-8") as f:
            text = f.read()
        found = re.search(r"<!-- working-with-data: begin -->\s*```python\n(.*?)```\s*<!-- working-with-data: end -->",
                          text, re.S)
        self.assertIsNotNone(found, "the README has no snippet between its markers")
        self.export("npy", "run.npy")
        self.export("hdf5", "run.h5")
        names = {}
        cwd = os.getcwd()
        os.chdir(self.dir.name)
        try:
            exec(compile(found.group(1), "README.md", "exec"), names)
        finally:
            os.chdir(cwd)
        np.testing.assert_array_equal(names["rows"], self.rows)
        np.testing.assert_array_equal(names["stamps_ns"], self.stamps)
        np.testing.assert_array_equal(names["data"], self.rows)
        np.testing.assert_array_equal(names["time"], self.stamps)
        np.testing.assert_array_equal(names["ch3"], self.rows[:, NAMES.index("FC1/CH3")])
        self.assertEqual(names["rate"], RATE)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
