#!/usr/bin/python3
"""How soon Orca speaks after a key, with Skyvigil's news pending: Down pressed
as soon as the started window was announced (the London alerts are still to be
said), and Escape in the forecast window, shown and still loading (the service
answering after 15 s). Each figure is the time from the key to the start of the
text Orca says for it, in the recording speech server. And, in starts where no
key is pressed, how long after Orca began announcing the window Skyvigil's first
news (London's alerts) began: the news is held until the window has been
active a moment, so this is never below zero.

Run inside a virtual display and a session bus, with no other Orca of yours
(bench/orca_keys_bench.sh does):
  orca_keys_bench.py --program build/default/skyvigil --service tools/weather_service.py \\
      --snd snd --speechd tests/e2e/speechd/speechd-testbed.sh [--runs 5]
"""

import argparse
import shutil
import statistics
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from screen import focus_window, press  # noqa: E402
from testbed import TITLE, Bed, wait_for  # noqa: E402

CITIES = [{"name": "Paris", "temp": 0, "monitor": 0, "alerts": 0, "condition": ""},
          {"name": "London", "temp": 0, "monitor": 0, "alerts": 1, "condition": ""},
          {"name": "Tokyo", "temp": 0, "monitor": 0, "alerts": 0, "condition": ""}]


# Skyvigil's alerts, which start like the city lines Orca reads.
ALERT_END = ". View the forecast For more."


def first_start(bed, since, prefix, timeout=10.0, alerts=False):
    """Seconds from `since` (epoch) to the first message starting with `prefix`,
    Skyvigil's alerts or Orca's speech as `alerts` says."""
    def found():
        return [at for at, what, text in bed.speech_events()
                if what == "start" and at >= since and text.startswith(prefix)
                and text.endswith(ALERT_END) == alerts]
    return wait_for(f"speech starting with {prefix!r}", found, timeout, interval=0.01)[0] - since


def news_after_window(bed, name):
    """Seconds from the start of Orca's announcement of the window to the start
    of Skyvigil's first alert, in a start where no key is pressed."""
    run = bed.launch(bed.new_folder(name, CITIES))
    try:
        launched = time.time()
        news = first_start(bed, launched, "London:", timeout=20, alerts=True)
        window = first_start(bed, launched, TITLE, timeout=20)
        return news - window
    finally:
        run.end()


def one_run(bed, name):
    run = bed.launch(bed.new_folder(name, CITIES))
    try:
        launched = time.time()
        first_start(bed, launched, "Paris:", timeout=20)
        focus_window(wait_for("the main X window", run.main_window))
        pressed = time.time()
        press("Down")
        down = first_start(bed, pressed, "London:")
        pressed = time.time()
        press("Return")
        first_start(bed, pressed, "Forecast")
        first_start(bed, pressed, "table with")
        time.sleep(1.0)
        pressed = time.time()
        press("Escape")
        escape = first_start(bed, pressed, TITLE)
        # Escape as soon as the window is announced, long before its answer.
        bed.admin("delay", {"ms": 15000})
        try:
            pressed = time.time()
            press("Return")
            first_start(bed, pressed, "Forecast")
            pressed = time.time()
            press("Escape")
            loading = first_start(bed, pressed, TITLE)
        finally:
            bed.admin("delay", {"ms": 0})
        return down, escape, loading
    finally:
        run.end()


def main():
    parser = argparse.ArgumentParser()
    for name in ("--program", "--service", "--snd", "--speechd"):
        parser.add_argument(name, required=True, type=Path)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()

    root = Path(tempfile.mkdtemp(prefix="skyvigil-orca-keys-"))
    bed = Bed(args.program, args.service, args.snd, args.speechd, root)
    try:
        bed.start()
        bed.admin("reset", {})
        bed.start_orca(root / "orca-settings")
        results = [one_run(bed, f"run-{i}") + (news_after_window(bed, f"news-{i}"),)
                   for i in range(args.runs)]
    finally:
        bed.stop()
        shutil.rmtree(root, ignore_errors=True)

    for label, index, goal in (("Down at once, Orca reads the line", 0, "<= 1.0 s"),
                               ("Escape in the forecast, main window's title", 1, "<= 0.5 s"),
                               ("Escape in a loading forecast, main window's title", 2, "<= 0.5 s")):
        figures = [result[index] for result in results]
        print(f"{label}: median {statistics.median(figures):.3f} s, "
              f"max {max(figures):.3f} s over {len(figures)} runs (goal {goal})")
    figures = [result[3] for result in results]
    print(f"Start-up news after Orca began announcing the window: median "
          f"{statistics.median(figures):.3f} s, min {min(figures):.3f} s over {len(figures)} runs "
          f"(goal > 0 s: held until the window has been active a moment)")


if __name__ == "__main__":
    main()
