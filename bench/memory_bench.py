#!/usr/bin/python3
"""Idle memory after a refresh of 64 cities, each forecast answer about 90 KB
(hourly data and long alert texts, as the real service sends): the program's
private dirty memory (what it alone holds, shared library pages left out) and
its resident memory, against a bare wx frame with one list measured in the
same run.

Run inside a virtual display and a session bus (bench/memory_bench.sh does):
  memory_bench.py --program build/default/skyvigil --bare build/default/bare_frame \\
      --service tools/weather_service.py --snd snd --speechd tests/e2e/speechd/speechd-testbed.sh
"""

import argparse
import copy
import json
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from testbed import Bed, Processes, wait_for  # noqa: E402

CITY_COUNT = 64
TEMPLATES = ROOT / "tests" / "data" / "service"


def hour_entry(epoch, stamp, temp_c):
    """One hour of a forecast day, with the fields the real service sends."""
    return {
        "time_epoch": epoch, "time": stamp, "temp_c": temp_c, "temp_f": temp_c * 1.8 + 32,
        "is_day": 1, "condition": {"text": "Patchy light rain with thunder",
                                   "icon": "//cdn.example/weather/64x64/day/386.png",
                                   "code": 1273},
        "wind_mph": 8.1, "wind_kph": 13.0, "wind_degree": 243, "wind_dir": "WSW",
        "pressure_mb": 1012.0, "pressure_in": 29.88, "precip_mm": 0.42, "precip_in": 0.02,
        "snow_cm": 0.0, "humidity": 81, "cloud": 77, "feelslike_c": temp_c - 1.2,
        "feelslike_f": temp_c * 1.8 + 30, "windchill_c": temp_c - 1.4,
        "windchill_f": temp_c * 1.8 + 29.5, "heatindex_c": temp_c + 0.3,
        "heatindex_f": temp_c * 1.8 + 32.5, "dewpoint_c": temp_c - 4.1,
        "dewpoint_f": temp_c * 1.8 + 24.6, "will_it_rain": 1, "chance_of_rain": 84,
        "will_it_snow": 0, "chance_of_snow": 0, "vis_km": 10.0, "vis_miles": 6.0,
        "gust_mph": 12.3, "gust_kph": 19.8, "uv": 1.0,
        "air_quality": {"co": 243.7, "no2": 20.1, "o3": 51.5, "so2": 4.3, "pm2_5": 9.8,
                        "pm10": 12.6, "us-epa-index": 1, "gb-defra-index": 1},
    }


def alert(index, place_name):
    sentence = (f"At 4:12 PM, a line of strong thunderstorms was located near {place_name}, "
                "moving east at 35 miles per hour. Wind gusts up to 60 miles per hour and "
                "hail the size of quarters are possible, with brief heavy rain. ")
    return {
        "headline": f"Severe Thunderstorm Warning number {index} issued for {place_name}",
        "msgtype": "Alert", "severity": "Severe", "urgency": "Immediate",
        "areas": "; ".join(f"County {n} of {place_name}" for n in range(40)),
        "category": "Met", "certainty": "Observed", "event": "Severe Thunderstorm Warning",
        "note": "", "effective": "2026-07-01T16:12:00-05:00",
        "expires": "2026-07-01T17:00:00-05:00",
        "desc": sentence * 150, "instruction": "Move to an interior room on the lowest floor. " * 40,
    }


def make_places(folder):
    """64 places built from the test data, each with 24 hours and long alerts."""
    folder.mkdir(parents=True)
    sources = [entry for entry in json.loads((TEMPLATES / "places.json").read_text())]
    entries = []
    for number in range(CITY_COUNT):
        source = sources[number % len(sources)]
        document = json.loads((TEMPLATES / source["file"]).read_text(encoding="utf-8"))
        name = f"Town {number:02d}"
        location = document["location"]
        location["name"] = name
        location["lat"] = round(10 + number * 0.5, 2)
        location["lon"] = round(20 + number * 0.5, 2)
        day = document["forecast"]["forecastday"][0]
        day["hour"] = [hour_entry(1751328000 + 3600 * h, f"2026-07-01 {h:02d}:00", 14 + h % 9)
                       for h in range(24)]
        document["forecast"]["forecastday"] = [day]
        document["alerts"] = {"alert": [alert(n, name) for n in range(2)]}
        file_name = f"town_{number:02d}.json"
        (folder / file_name).write_text(json.dumps(document), encoding="utf-8")
        entries.append({"id": 900000 + number, "file": file_name,
                        "url": f"town-{number:02d}"})
    (folder / "places.json").write_text(json.dumps(entries), encoding="utf-8")


def kb(pid, path, field):
    text = Path(f"/proc/{pid}/{path}").read_text()
    return int(re.search(rf"^{field}:\s+(\d+) kB", text, re.MULTILINE).group(1))


def figures(pid):
    return {"private_dirty": kb(pid, "smaps_rollup", "Private_Dirty"),
            "rss": kb(pid, "status", "VmRSS")}


class MemoryBed(Bed):
    """The test bed, with the weather service serving the 64 generated places."""

    def __init__(self, data, *args):
        super().__init__(*args)
        self.data = data

    def start_tray(self):
        pass  # the figures need no tray, and a busy machine maps it late

    def start_service(self):
        self.service = self.processes.start(
            ["/usr/bin/python3", str(self.service_script), "--port", "0", "--watch-stdin",
             "--data", str(self.data)], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.port = int(re.fullmatch(r"PORT (\d+)\n", self.service.stdout.readline()).group(1))


def after_refresh(bed, name):
    """Starts the program on the 64 cities; its figures 5 s after the refresh was saved."""
    cities = [{"name": f"Town {n:02d}", "monitor": 1, "alerts": 1} for n in range(CITY_COUNT)]
    folder = bed.new_folder(name, cities)
    run = bed.launch(folder)
    try:
        wait_for("the refresh of every city saved", lambda: all(
            city["name"].count(",") >= 2 for city in run.cities()), timeout=120)
        time.sleep(5)  # the lists are rebuilt and the news handed to speech
        return figures(run.pid)
    finally:
        run.end()


def bare_frame(bed, program):
    processes = Processes()
    bare = processes.start([str(program.resolve())], cwd=bed.root)
    try:
        wait_for("the bare frame", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Bare frame$"],
            capture_output=True).stdout.strip(), timeout=20)
        time.sleep(3)
        return figures(bare.pid)
    finally:
        processes.stop_all()


def main():
    parser = argparse.ArgumentParser()
    for name in ("--program", "--bare", "--service", "--snd", "--speechd"):
        parser.add_argument(name, required=True, type=Path)
    options = parser.parse_args()
    root = Path(tempfile.mkdtemp(prefix="skyvigil-memory-"))
    bed = None
    try:
        make_places(root / "places")
        size = len(json.dumps(json.loads((root / "places" / "town_00.json").read_text())))
        bed = MemoryBed(root / "places", options.program, options.service, options.snd,
                        options.speechd, root)
        bed.start()
        # The first program on a fresh accessibility bus holds some 10 MB more
        # for as long as it runs: a warm-up run, not counted.
        after_refresh(bed, "warm-up")
        program = after_refresh(bed, "program")
        bare = bare_frame(bed, options.bare)
    finally:
        if bed is not None:
            bed.stop()
        shutil.rmtree(root, ignore_errors=True)

    def mb(value):
        return f"{value / 1024:.1f} MB"

    rows = [
        ("forecast answer per city (about)", f"{size / 1024:.0f} KB", ""),
        ("private dirty, program after a refresh of 64 cities", mb(program["private_dirty"]), ""),
        ("private dirty, bare wx frame with one list", mb(bare["private_dirty"]), ""),
        ("program / bare frame, private dirty",
         f"{program['private_dirty'] / bare['private_dirty']:.2f}x", "<= 1.5x"),
        ("resident, program / bare frame", f"{mb(program['rss'])} / {mb(bare['rss'])}", ""),
    ]
    for what, value, goal in rows:
        print(f"{what:<58} {value:>30} {goal}")
    print(json.dumps({"program": program, "bare": bare}),
          file=sys.stderr)


if __name__ == "__main__":
    main()
