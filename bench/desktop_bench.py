#!/usr/bin/python3
"""Figures of the running desktop program, read as a screen reader reads it:
start to a readable city list with a service that answers after 3 s, the answer
time of a key during a refresh (service answering after 3 s, and never), and the
resident memory against a bare wx frame with one list, measured in the same run.

Run inside a virtual display and a session bus (bench/desktop_bench.sh does):
  desktop_bench.py --program build/default/skyvigil --bare build/default/bare_frame \\
      --service tools/weather_service.py --snd snd --speechd tests/e2e/speechd/speechd-testbed.sh
"""

import argparse
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

import pyatspi  # noqa: E402
from testbed import SERVICE_KEY, Bed, Processes, wait_for  # noqa: E402

CITIES = [{"name": "Paris", "monitor": 1, "alerts": 1}, {"name": "London", "alerts": 1},
          {"name": "Tokyo"}]
POLL = 0.005


def city_list(pid):
    """The live accessible "Areas" list of the program, or None."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.get_process_id() != pid:
            continue
        found = pyatspi.findDescendant(
            app, lambda node: node is not None and node.name == "Areas" and
            node.getRoleName() in ("table", "list", "list box"))
        if found is not None:
            return found
    return None


def lines(accessible):
    accessible.clear_cache()
    return [child.name for child in accessible if child is not None and
            child.getRoleName() == "table cell"]


def until(probe, timeout):
    """Seconds until probe() is true, polling every POLL s."""
    start = time.monotonic()
    while time.monotonic() - start < timeout:
        if probe():
            return time.monotonic() - start
        time.sleep(POLL)
    raise RuntimeError("timed out")


def status_kb(pid, field):
    match = re.search(rf"^{field}:\s+(\d+) kB", Path(f"/proc/{pid}/status").read_text(),
                      re.MULTILINE)
    return int(match.group(1))


class Bench:
    def __init__(self, options, root):
        self.options = options
        self.bed = Bed(options.program, options.service, options.snd, options.speechd, root)
        self.bed.start()
        self.bed.admin("reset", {})
        self.bed.admin("alerts", {"place": "London", "alerts": []})
        self.bed.admin("alerts", {"place": "Paris", "alerts": []})
        # A cities.json as a good run leaves it, so the start has weather to show.
        folder = self.folder("good")
        run = self.bed.launch(folder)
        try:
            wait_for("the first refresh saved", lambda: all(
                city["name"].count(",") >= 2 for city in run.cities()), timeout=30)
        finally:
            run.end()
        self.cities_bytes = (folder / "cities.json").read_bytes()

    def folder(self, name):
        folder = self.bed.new_folder(name, CITIES)
        # No update check: only the refresh talks to the service. The run's own
        # key, so no key dialog opens.
        (folder / "prefs.ini").write_bytes(
            f"[service]\r\nbase_address = {self.bed.address('/v1')}\r\n"
            f"api_key = {SERVICE_KEY}\r\n".encode())
        if hasattr(self, "cities_bytes"):
            (folder / "cities.json").write_bytes(self.cities_bytes)
        return folder

    def start_to_list(self, name):
        """Launches; returns the run, the live list and the seconds to three readable lines."""
        folder = self.folder(name)
        started = time.monotonic()
        run = self.bed.launch(folder)
        holder = {}

        def readable():
            holder.setdefault("list", None)
            if holder["list"] is None:
                holder["list"] = city_list(run.pid)
            return holder["list"] is not None and len(lines(holder["list"])) == 3

        until(readable, 30)
        return run, holder["list"], time.monotonic() - started

    def key_answer(self, name, settle=0.0):
        """Seconds from the key's delivery (xdotool's own start-up left out) to the
        city list showing the new unit."""
        run, areas, _ = self.start_to_list(name)
        try:
            time.sleep(settle)
            subprocess.run(["xdotool", "key", "--delay", "0", "ctrl+1"], check=True, timeout=20)
            return until(lambda: all(line.endswith("Degrees C") for line in lines(areas)), 10)
        finally:
            run.end()

    def startup(self):
        self.bed.admin("delay", {"ms": 3000})
        try:
            run, _, seconds = self.start_to_list("slow-start")
            run.end()
            return seconds
        finally:
            self.bed.admin("delay", {"ms": 0})

    def keys(self):
        idle = self.key_answer("key-idle", settle=2.0)
        self.bed.admin("delay", {"ms": 3000})
        slow = self.key_answer("key-slow")
        self.bed.admin("delay", {"ms": 0})
        self.bed.admin("fault", {"kind": "hang", "permanent": True})
        never = self.key_answer("key-never")
        self.bed.admin("reset", {})
        return idle, slow, never

    def memory(self):
        run, _, _ = self.start_to_list("memory")
        try:
            time.sleep(3)  # the refresh and its redraw are done
            program = (status_kb(run.pid, "VmRSS"), status_kb(run.pid, "VmHWM"))
        finally:
            run.end()
        processes = Processes()
        bare = processes.start([str(self.options.bare.resolve())], cwd=self.bed.root)
        try:
            wait_for("the bare frame", lambda: subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--name", "^Bare frame$"],
                capture_output=True).stdout.strip(), timeout=20)
            time.sleep(3)
            frame = (status_kb(bare.pid, "VmRSS"), status_kb(bare.pid, "VmHWM"))
        finally:
            processes.stop_all()
        return program, frame


def main():
    parser = argparse.ArgumentParser()
    for name in ("--program", "--bare", "--service", "--snd", "--speechd"):
        parser.add_argument(name, required=True, type=Path)
    options = parser.parse_args()
    root = Path(tempfile.mkdtemp(prefix="skyvigil-bench-"))
    bench = None
    try:
        bench = Bench(options, root)
        start = bench.startup()
        idle, slow, never = bench.keys()
        (rss, peak), (bare_rss, bare_peak) = bench.memory()
    finally:
        if bench is not None:
            bench.bed.stop()
        shutil.rmtree(root, ignore_errors=True)
    rows = [
        ("start to a readable city list, service answering after 3 s", f"{start:.3f} s", "<= 0.5 s"),
        ("key answered with no refresh running", f"{idle:.3f} s", ""),
        ("key answered during a refresh, service answering after 3 s", f"{slow:.3f} s", "<= 0.1 s"),
        ("key answered during a refresh, service never answering", f"{never:.3f} s", "<= 0.1 s"),
        ("resident memory, program", f"{rss / 1024:.1f} MB (peak {peak / 1024:.1f})", ""),
        ("resident memory, bare wx frame with one list", f"{bare_rss / 1024:.1f} MB"
         f" (peak {bare_peak / 1024:.1f})", ""),
        ("program / bare frame", f"{rss / bare_rss:.2f}x", "<= 1.3x"),
    ]
    for what, value, goal in rows:
        print(f"{what:<62} {value:>24} {goal}")
    print(json.dumps({"start_s": start, "key_idle_s": idle, "key_slow_s": slow, "key_never_s": never,
                      "rss_kb": rss, "bare_rss_kb": bare_rss}), file=sys.stderr)


if __name__ == "__main__":
    main()
