#!/usr/bin/env python3
"""Reads the COMTRADE files of comtrade-sample back and compares them with what was captured.

    comtrade_readback.py COMTRADE-SAMPLE OUTPUT-FOLDER own|pypi

own:  a reader written here from the rules of IEEE C37.111-2013 (configuration lines in
      their order; ASCII data lines "n,timestamp,analog...,status..."; binary records of a
      uint32 sample number, an int32 time stamp, int16 analog values and the status bits in
      16-bit words, all little-endian; value = a * x + b; time = timestamp * timemult in the
      unit of the dates' fraction; a blank ASCII field or 0x8000 is a missing value).
pypi: the "comtrade" package from PyPI, installed into a virtual environment under
      OUTPUT-FOLDER; exits 77 (skipped) when it cannot be installed.
"""

import json
import os
import struct
import subprocess
import sys

SKIP = 77


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def read_cfg(path):
    with open(path, "rb") as f:
        lines = f.read().decode("utf-8").split("\r\n")
    if lines[-1] == "":
        lines.pop()
    it = iter(lines)
    station, device, rev = next(it).split(",")
    total, n_analog, n_digital = next(it).split(",")
    n_analog, n_digital = int(n_analog[:-1]), int(n_digital[:-1])
    if not (n_analog + n_digital == int(total)):
        fail("TT is not ##A + ##D")
    analog = []
    for _ in range(n_analog):
        f = next(it).split(",")
        if len(f) != 13:
            fail("analog channel line of %d fields: %r" % (len(f), f))
        analog.append({"id": f[1], "ph": f[2], "unit": f[4], "a": float(f[5]), "b": float(f[6]),
                       "min": int(f[8]), "max": int(f[9]), "primary": float(f[10]),
                       "secondary": float(f[11]), "ps": f[12]})
    digital = []
    for _ in range(n_digital):
        f = next(it).split(",")
        if len(f) != 5:
            fail("status channel line of %d fields: %r" % (len(f), f))
        digital.append({"id": f[1], "normal": int(f[4])})
    frequency = float(next(it))
    nrates = int(next(it))
    rates = [tuple(next(it).split(",")) for _ in range(max(nrates, 1))]
    first = next(it)
    trigger = next(it)
    ft = next(it).upper()
    timemult = float(next(it))
    time_code, local_code = next(it).split(",")
    tmq, leap = next(it).split(",")
    return {"station": station, "device": device, "rev": rev, "analog": analog,
            "digital": digital, "lf": frequency, "nrates": nrates, "rates": rates,
            "first": first, "trigger": trigger, "ft": ft, "timemult": timemult,
            "time_code": time_code, "local_code": local_code, "tmq": tmq, "leap": leap}


def read_dat(path, cfg):
    na, nd = len(cfg["analog"]), len(cfg["digital"])
    rows = []  # (n, time in s, analog values or None, status bits)
    if cfg["ft"] == "ASCII":
        with open(path, "rb") as f:
            for line in f.read().decode("ascii").split("\r\n"):
                if not line:
                    continue
                fields = line.split(",")
                if len(fields) != 2 + na + nd:
                    fail("data line of %d fields" % len(fields))
                raw = [None if x.strip() == "" else int(x) for x in fields[2:2 + na]]
                rows.append((int(fields[0]), int(fields[1]), raw, [int(x) for x in fields[2 + na:]]))
    elif cfg["ft"] == "BINARY":
        words = (nd + 15) // 16
        size = 8 + 2 * na + 2 * words
        with open(path, "rb") as f:
            data = f.read()
        if len(data) % size:
            fail("binary file of %d bytes is no whole number of %d-byte records" % (len(data), size))
        for at in range(0, len(data), size):
            n, stamp = struct.unpack_from("<Ii", data, at)
            raw = list(struct.unpack_from("<%dh" % na, data, at + 8))
            raw = [None if x == -32768 else x for x in raw]
            bits = struct.unpack_from("<%dH" % words, data, at + 8 + 2 * na)
            status = [(bits[k // 16] >> (k % 16)) & 1 for k in range(nd)]
            rows.append((n, stamp, raw, status))
    else:
        fail("unexpected file type " + cfg["ft"])
    out = []
    for n, stamp, raw, status in rows:
        values = [None if x is None else ch["a"] * x + ch["b"] for x, ch in zip(raw, cfg["analog"])]
        for x, ch in zip(raw, cfg["analog"]):
            if x is not None and not (ch["min"] <= x <= ch["max"]):
                fail("value %d outside %d..%d" % (x, ch["min"], ch["max"]))
        # The dates have six decimals: the stamps' unit, after timemult, is the microsecond.
        out.append((n, stamp * cfg["timemult"] / 1e6, values, status))
    return out


def compare(label, ids, units, count, times, analog, digital_ids, digital, expected,
            tolerance):
    if ids != expected["analogIds"]:
        fail("%s: analog ids %r" % (label, ids))
    if units is not None and units != expected["units"]:
        fail("%s: units %r" % (label, units))
    if digital_ids != expected["digitalIds"]:
        fail("%s: status ids %r" % (label, digital_ids))
    if count != expected["count"]:
        fail("%s: %d samples, captured %d" % (label, count, expected["count"]))
    for k, (t, want) in enumerate(zip(times, expected["seconds"])):
        if abs(t - want) > 1e-6:
            fail("%s: sample %d at %.6f s, captured at %.6f s" % (label, k, t, want))
    for c, (got, want) in enumerate(zip(analog, expected["analog"])):
        for k, (g, w) in enumerate(zip(got, want)):
            if w is None:
                if g is not None:
                    fail("%s: %s[%d] %r where the read got no reply" % (label, ids[c], k, g))
            elif g is None or abs(g - w) > tolerance:
                fail("%s: %s[%d] = %r, captured %r" % (label, ids[c], k, g, w))
    if digital is not None:
        for c, (got, want) in enumerate(zip(digital, expected["digital"])):
            if list(got) != want:
                fail("%s: %s differs" % (label, digital_ids[c]))
    print("%s: %d samples of %d analog and %d status channels agree" %
          (label, count, len(ids), len(digital_ids)))


def own(folder, expected):
    for name in ("start-ascii", "start-binary"):
        cfg = read_cfg(os.path.join(folder, name + ".cfg"))
        if cfg["rev"] != "2013" or cfg["nrates"] != 0 or cfg["rates"] != [("0", str(expected["count"]))]:
            fail("%s: revision, nrates or samp/endsamp: %r %r %r" %
                 (name, cfg["rev"], cfg["nrates"], cfg["rates"]))
        if (cfg["station"], cfg["device"]) != (expected["station"], expected["device"]):
            fail("%s: names %r %r" % (name, cfg["station"], cfg["device"]))
        if cfg["first"] != expected["first"]:
            fail("%s: first date %r" % (name, cfg["first"]))
        rows = read_dat(os.path.join(folder, name + ".dat"), cfg)
        if [r[0] for r in rows] != list(range(1, len(rows) + 1)):
            fail("%s: sample numbers are not 1..N" % name)
        compare(name, [c["id"] for c in cfg["analog"]], [c["unit"] for c in cfg["analog"]],
                len(rows), [r[1] for r in rows],
                [[r[2][c] for r in rows] for c in range(len(cfg["analog"]))],
                [d["id"] for d in cfg["digital"]],
                [[r[3][c] for r in rows] for c in range(len(cfg["digital"]))], expected, 1e-6)


PYPI_CHECK = r"""
import json, sys
import comtrade
folder, name = sys.argv[1], sys.argv[2]
rec = comtrade.Comtrade()
rec.load(folder + "/" + name + ".cfg", folder + "/" + name + ".dat", encoding="utf-8")
units = None
try:
    units = [ch.uu for ch in rec.cfg.analog_channels]
except Exception:
    pass
print(json.dumps({"ids": list(rec.analog_channel_ids), "digital": list(rec.status_channel_ids),
                  "units": units, "count": rec.total_samples,
                  "time": [float(t) for t in rec.time],
                  "analog": [[float(v) for v in ch] for ch in rec.analog],
                  "status": [[int(v) for v in ch] for ch in rec.status]}))
"""


def pypi(folder, expected):
    venv = os.path.join(folder, "venv")
    python = os.path.join(venv, "bin", "python")
    try:
        if not os.path.exists(python):
            subprocess.run([sys.executable, "-m", "venv", venv], check=True, timeout=120)
        subprocess.run([python, "-m", "pip", "install", "--disable-pip-version-check", "-q",
                        "comtrade"], check=True, timeout=180)
    except (subprocess.SubprocessError, OSError) as error:
        print("SKIP: the PyPI package 'comtrade' could not be installed in a virtual "
              "environment (%s); the files were not read by it" % error)
        sys.exit(SKIP)
    for name in ("start-ascii", "start-binary"):
        result = subprocess.run([python, "-c", PYPI_CHECK, folder, name], capture_output=True,
                                text=True, timeout=120)
        if result.returncode != 0:
            fail("comtrade package could not read %s: %s" % (name, result.stderr))
        got = json.loads(result.stdout)
        # A missing value has no mark of its own in the package: those samples are left out.
        analog = []
        for c, channel in enumerate(got["analog"]):
            analog.append([None if expected["analog"][c][k] is None else v
                           for k, v in enumerate(channel)])
        compare("comtrade package, " + name, got["ids"], got["units"], got["count"], got["time"],
                analog, got["digital"], got["status"], expected, 1e-6)


def main():
    if len(sys.argv) != 4 or sys.argv[3] not in ("own", "pypi"):
        print(__doc__)
        return 2
    sample, folder, mode = sys.argv[1:]
    subprocess.run([sample, folder], check=True)
    with open(os.path.join(folder, "expected.json"), encoding="utf-8") as f:
        expected = json.load(f)
    own(folder, expected) if mode == "own" else pypi(folder, expected)
    return 0


if __name__ == "__main__":
    sys.exit(main())
