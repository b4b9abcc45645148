#!/usr/bin/python3
"""How long Orca's own speech waits behind Skyvigil's start-up news: Orca and the
program on a virtual display, speech through the recording speech server with
a voice's lengths; prints the timed speech log from the launch, when Orca began
the window's announcement and, with --down SECONDS, when Orca began reading the
line a Down arrow pressed that long after the launch moved to.

Run inside a virtual display and a session bus, with no other Orca of yours:
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" dbus-run-session -- \\
      /usr/bin/python3 bench/orca_speech_wait.py --program build/default/skyvigil \\
      --service tools/weather_service.py --snd snd \\
      --speechd tests/e2e/speechd/speechd-testbed.sh [--down 5.6]
"""

import argparse
import shutil
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from screen import press  # noqa: E402
from testbed import TITLE, Bed, wait_for  # noqa: E402

PARIS = "Paris, Ile-de-France, France"
# Three alerts for London in the first refresh, then Paris's two changes.
CITIES = [{"name": PARIS, "temp": 40, "monitor": 1, "alerts": 0, "condition": "Heavy snow"},
          {"name": "London", "temp": 0, "monitor": 0, "alerts": 1, "condition": ""},
          {"name": "Tokyo", "temp": 0, "monitor": 0, "alerts": 0, "condition": ""}]
OURS = ("London: Moderate Yellow wind warning. View the forecast For more.",
        "London: Minor Yellow rain warning. View the forecast For more.",
        "London: Minor Flood alert. View the forecast For more.",
        "Paris: Sunny", "Paris: 69.8 Degrees")


def main():
    parser = argparse.ArgumentParser()
    for name in ("--program", "--service", "--snd", "--speechd"):
        parser.add_argument(name, required=True, type=Path)
    parser.add_argument("--down", type=float, help="press Down this many seconds after launch")
    parser.add_argument("--listen", type=float, default=22.0, help="seconds to record after")
    args = parser.parse_args()

    root = Path(tempfile.mkdtemp(prefix="skyvigil-orca-wait-"))
    bed = Bed(args.program, args.service, args.snd, args.speechd, root, speech_delay="realistic")
    try:
        bed.start()
        bed.admin("reset", {})
        bed.admin("clock", {"epoch": 1720512000})
        bed.start_orca(root / "orca-settings")
        time.sleep(3)  # "Screen reader on." is over
        folder = bed.new_folder("run", CITIES)
        first = len(bed.speech_events())
        launched = time.time()
        run = bed.launch(folder)
        wait_for("the main window", run.main_window, 20)
        down = None
        if args.down is not None:
            time.sleep(max(launched + args.down - time.time(), 0))
            down = time.time() - launched
            press("Down")
        time.sleep(args.listen)
        events = [(at - launched, what, text) for at, what, text in bed.speech_events()[first:]]
    finally:
        bed.stop()
        shutil.rmtree(root, ignore_errors=True)

    for at, what, text in events:
        print(f"{at:7.2f}  {'skyvigil' if text in OURS else 'orca    '}  {what:5}  {text}")
    orca = [(at, text) for at, what, text in events if what == "start" and text not in OURS]
    window = [at for at, text in orca if text.startswith(TITLE)]
    print(f"Orca began the window's announcement at {window[0]:.2f} s" if window
          else "Orca never announced the window")
    ours = [at for at, what, text in events if what == "start" and text in OURS]
    print(f"Skyvigil's first news began at {ours[0]:.2f} s" if ours
          else "Skyvigil said no news")
    if down is not None:
        after = [(at, text) for at, text in orca if at >= down]
        print(f"Down pressed at {down:.2f} s; " + (
            f"Orca began {after[0][1]!r} {after[0][0] - down:.2f} s later" if after
            else "Orca said nothing after it"))


if __name__ == "__main__":
    main()
