#!/usr/bin/env python3
"""Writes a small invented broadcast database pair (ilgsdata.dbf, short wave,
and ilgadata.dbf, long and medium wave) in dBASE format for the demo base
directory. Every station, frequency and schedule here is made up.

Usage: make_demo_ilg.py [OUT_DIR]   (default: data/demo/ILG next to this script)
"""
import datetime
import os
import random
import struct
import sys

AREAS = ["NA", "CA", "SA", "EU", "AF", "ME", "AS", "AU", "PA"]
FIELDS = [  # name, type, width, decimals
    ("FREQ", "N", 8, 2),
    ("UTC", "C", 9, 0),
    ("STATION", "C", 30, 0),
    ("TARGET", "C", 10, 0),
    ("LANGUAGE", "C", 20, 0),
    ("POWER", "C", 7, 0),
    ("LATI", "C", 5, 0),
    ("LONGI", "C", 6, 0),
    ("COUNTRY", "C", 16, 0),
] + [(a, "C", 2, 0) for a in AREAS]

# Invented stations: name, country, latitude, longitude, languages.
STATIONS = [
    ("Radio Aurelia", "Aurelia", "4812N", "01622E", ["English", "German", "French"]),
    ("Voice of Nordhavn", "Nordhavn", "6010N", "02456E", ["English", "Finnish"]),
    ("Radio Costa Brava Int", "Miravia", "4125N", "00210E", ["Spanish", "English"]),
    ("Sahel Broadcasting Svc", "Sahelia", "1239N", "00759W", ["French", "Hausa", "English"]),
    ("Kestrel World Radio", "Kestrelia", "0119S", "03649E", ["English", "Swahili"]),
    ("Radio Lotus Bay", "Lotus Bay", "2218N", "11410E", ["Chinese", "English"]),
    ("Southern Cross Radio", "Austrel", "3352S", "15112E", ["English"]),
    ("Voz del Altiplano", "Altiplano", "1630S", "06809W", ["Spanish", "Quechua"]),
    ("Radio Desert Star", "Qasirah", "2417N", "05422E", ["Arabic", "English"]),
    ("Maple Shore Radio", "Mapleland", "4540N", "07542W", ["English", "French"]),
    ("Radio Isla Verde", "Isla Verde", "1828N", "06604W", ["Spanish", "English"]),
    ("Pacific Atoll Radio", "Atollia", "0131N", "17300E", ["English"]),
]

SW_BANDS = [(3200, 3400), (3900, 4000), (4750, 5060), (5900, 6200), (7200, 7600),
            (9400, 9900), (11600, 12100), (13570, 13870), (15100, 15800),
            (17480, 17900), (21450, 21850), (25670, 26100)]
MW_BANDS = [(153, 279), (531, 1602)]

AREA_OF_TARGET = {"Europe": "EU", "N America": "NA", "C America": "CA",
                  "S America": "SA", "Africa": "AF", "Mideast": "ME",
                  "Asia": "AS", "Australia": "AU", "Pacific": "PA"}


def header(nrec, reclen):
    today = datetime.date(2026, 11, 1)
    hlen = 32 + 32 * len(FIELDS) + 1
    h = struct.pack("<BBBBIHH20x", 0x03, today.year - 1900, today.month, today.day,
                    nrec, hlen, reclen)
    for name, typ, width, dec in FIELDS:
        h += struct.pack("<11sc4xBB14x", name.encode("ascii"), typ.encode("ascii"), width, dec)
    return h + b"\r"


def record(values):
    out = b" "
    for (name, typ, width, dec), v in zip(FIELDS, values):
        if v is None:
            s = " " * width
        elif typ == "N":
            s = ("%.*f" % (dec, v)).rjust(width)
        else:
            s = str(v)[:width].ljust(width)
        out += s.encode("cp1252")
    return out


def windows(rng):
    start = rng.randrange(0, 24) * 100 + rng.choice([0, 0, 30])
    length = rng.choice([30, 60, 60, 100, 120, 200])
    end = (start // 100 * 60 + start % 100 + length // 100 * 60 + length % 100) % 1440
    return "%04d-%04d" % (start, end // 60 * 100 + end % 60)


def make(mw, count, seed):
    rng = random.Random(seed)
    bands = MW_BANDS if mw else SW_BANDS
    rows = []
    for _ in range(count):
        lo, hi = rng.choice(bands)
        if mw:
            step = 9
            f = lo + step * rng.randrange(0, (hi - lo) // step + 1)
        else:
            f = lo + 5 * rng.randrange(0, (hi - lo) // 5 + 1)
            if rng.random() < 0.05:
                f += 0.5
        name, country, lat, lon, langs = rng.choice(STATIONS)
        targets = rng.sample(list(AREA_OF_TARGET), rng.choice([1, 1, 2]))
        flags = {AREA_OF_TARGET[t] for t in targets}
        target_text = "/".join(AREA_OF_TARGET[t] for t in targets)
        power = "%d" % rng.choice([10, 50, 100, 250, 300, 500]) + " kW"
        values = [float(f), windows(rng), name, target_text, rng.choice(langs), power,
                  lat, lon, country] + [a if a in flags else None for a in AREAS]
        rows.append(values)
    rows.sort(key=lambda r: (r[0], r[1]))
    return rows


def write(path, rows):
    reclen = 1 + sum(w for _, _, w, _ in FIELDS)
    with open(path, "wb") as f:
        f.write(header(len(rows), reclen))
        for r in rows:
            f.write(record(r))
        f.write(b"\x1a")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "demo", "ILG")
    count = int(os.environ.get("ILG_DEMO_RECORDS", "0") or 0)
    os.makedirs(out, exist_ok=True)
    sw = make(False, count or 400, 535)
    # A few records the conversion leaves out: no usable time, no frequency.
    sw.append([None, "n/a", "Radio Aurelia (test)", "EU", "English", "", "4812N", "01622E",
               "Aurelia"] + [None] * 9)
    write(os.path.join(out, "ilgsdata.dbf"), sw)
    write(os.path.join(out, "ilgadata.dbf"), make(True, count or 120, 153))
    print("wrote", len(sw), "short wave and", count or 120, "medium wave records to", out)


if __name__ == "__main__":
    main()
