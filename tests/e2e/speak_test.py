#!/usr/bin/python3
"""The command line of the real program: options answered before any window,
a display that cannot be opened, and `--speak`, which has the running Skyvigil
speak its summary through the single-instance channel, or says that none runs
(aloud too, since a desktop's key has no terminal), and never starts one.

Run inside a virtual display and a session bus:
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" dbus-run-session -- \\
      /usr/bin/python3 speak_test.py --program build/default/skyvigil \\
      --service tools/weather_service.py --snd snd \\
      --speechd tests/e2e/speechd/speechd-testbed.sh [unittest options]
"""

import os
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from testbed import (TITLE, BedTestCase, parse_options, run_suite, wait_for,  # noqa: E402
                     windows_named)

OPTIONS = None

# 10:00 in London on 9 July 2024: the service's day is dry until rain from 1 PM.
LONDON_TEN_AM = 1720515600
LONDON = {"name": "London", "temp": 0, "monitor": 0, "alerts": 1, "condition": ""}
PARIS = {"name": "Paris", "temp": 0, "monitor": 0, "alerts": 0, "condition": ""}
SUMMARY = ("London: Light rain, 61 degrees F. Today: high 65, low 54, 87 percent chance of rain. "
           "Rain likely from 1 PM. 3 alerts: Yellow wind warning, Yellow rain warning, Flood "
           "alert.")


class CommandLineTest(BedTestCase):
    root_prefix = "skyvigil-speak-"

    @classmethod
    def prepare(cls):
        cls.bed.admin("clock", {"epoch": LONDON_TEN_AM})

    def skyvigil(self, folder, *arguments, **env):
        """The program run as a desktop's key runs it: no terminal, the bed's speech."""
        environment = dict(os.environ, **env)
        environment["SPEECHD_ADDRESS"] = f"unix_socket:{self.bed.speech_dir}/speechd.sock"
        return subprocess.run([str(self.bed.program), *arguments], cwd=folder,
                              stdin=subprocess.DEVNULL, capture_output=True, text=True,
                              timeout=30, env=environment)

    def test_options_are_answered_before_any_window(self):
        folder = self.bed.new_folder("options", [PARIS])
        mark = self.bed.speech_mark()
        version = self.skyvigil(folder, "--version")
        self.assertEqual((version.returncode, version.stdout, version.stderr),
                         (0, TITLE + "\n", ""))
        # A display that is not there: a message and code 1, not a crash.
        no_display = self.skyvigil(folder, DISPLAY=":4077")
        self.assertEqual((no_display.returncode, no_display.stderr),
                         (1, "Skyvigil cannot open the display; it needs a graphical desktop "
                             "session.\n"))
        # --speak with none running says so, aloud too, and starts none.
        alone = self.skyvigil(folder, "--speak")
        self.assertEqual((alone.returncode, alone.stdout, alone.stderr),
                         (1, "", "Skyvigil is not running.\n"))
        self.assertFalse((folder / "running").exists(), "a second instance started")
        self.bed.wait_for_speech(mark, ["Skyvigil is not running."])

    def test_speak_has_the_running_skyvigil_say_its_summary(self):
        folder = self.bed.new_folder("running", [LONDON, PARIS], prefs=["[general]",
                                                                        "window_hidden = 1"])
        mark = self.bed.speech_mark()
        run = self.bed.launch(folder)
        try:
            # The refresh's alerts first; it holds London's forecast for the summary.
            wait_for("the start-up alerts", lambda: len(self.bed.spoken_since(mark)) >= 3,
                     timeout=20)
            mark = self.bed.speech_mark()
            asked = self.skyvigil(folder, "--speak")
            self.assertEqual((asked.returncode, asked.stdout, asked.stderr), (0, "", ""))
            self.bed.wait_for_speech(mark, [SUMMARY])
            # No second window, no "already running" box; the window stays hidden.
            self.assertTrue(run.running())
            self.assertEqual(windows_named("^Alert$"), [])
            self.assertIsNone(run.main_window())
        finally:
            run.end()


def main():
    global OPTIONS
    OPTIONS, rest = parse_options()
    CommandLineTest.options = OPTIONS
    run_suite(rest, "command line tests")


if __name__ == "__main__":
    main()
