#!/usr/bin/python3
"""Skyvigil.exe under wine on a virtual display, against the local weather
service: start-up speech and files, the lines of its lists (read with a probe
program, since wine's accessibility layer does not name list boxes), keys,
the forecast window, a second start that brings the hidden window back, the
tray icon and the close box. Then a second run without Tolk.dll, beside a
fake NVDA controller that records what it is asked to speak and show, and a
third with DLLs of system names planted beside the program, none of which may
be loaded.

Run inside a display:
  xvfb-run -a -s "-screen 0 1920x1440x24" python3 win32_desktop_test.py \
      --program Skyvigil.exe --probe skyvigil_probe.exe --service tools/weather_service.py \
      --tolk Tolk.dll --fake-nvda fake_nvda.exe --planted-dll planted_dll.dll \
      --wineprefix build/windows/wineprefix [--screenshots DIR]
"""

import argparse
import array
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from testbed import (CUE_LEVELS, CUE_MS, TITLE, Failure, Processes, prefs_bytes,  # noqa: E402
                     SERVICE_KEY, screenshot, start_weather_service, start_window_manager, wait_for, windows_named,
                     write_level_wav)

# The program is gone this soon after its close box, whatever its requests do:
# a promise to the user, not a figure.
EXIT_PROMISE = 2.0
LONDON = "London, City of London, Greater London, United Kingdom"
PARIS = "Paris, Ile-de-France, France"
TOKYO = "Tokyo, Tokyo, Japan"
# The summary in Celsius, from the service's Paris: a dry day.
PARIS_SUMMARY = ("0 Paris: Sunny, 21 Degrees C. Today: high 24, low 14, 0 percent chance of "
                 "rain.")
OPTIONS = None


def wine_env(prefix, root):
    """Wine without its helpers; speech recorded by the Tolk stub, which says it
    speaks through the system voice, so that the program silences it on a key
    press; the sound that XAudio2 plays written by ALSA's file plugin to
    root/audio.raw."""
    home = root / "home"
    home.mkdir()
    (home / ".asoundrc").write_text('pcm.!default { type file slave.pcm "null" '
                                    f'file "{root / "audio.raw"}" format "raw" }}\n')
    return dict(os.environ, WINEPREFIX=str(prefix), WINEDEBUG="-all", HOME=str(home),
                SKYVIGIL_TOLK_LOG=str(root / "tolk.log"), SKYVIGIL_TOLK_READER="SAPI",
                WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
                DBUS_SESSION_BUS_ADDRESS="disabled:")


def cues_played(raw_file):
    """The cues in the order they started, from wine's mixed output (32-bit float,
    two channels) of the constant-level cue files, as groups: cues that first
    sound in the same sample form one group, sorted by name. Samples of a
    resampled edge, which match no mix of the levels, are passed over."""
    samples = array.array("f")
    data = Path(raw_file).read_bytes() if Path(raw_file).exists() else b""
    samples.frombytes(data[:len(data) // 8 * 8])
    mixes = {mask: sum(level for bit, level in enumerate(CUE_LEVELS.values()) if mask >> bit & 1)
             / 32768 for mask in range(1, 16)}
    started = []
    for value in samples[0::2]:
        for mask, level in mixes.items():
            if abs(value - level) < 0.0005:
                heard = sorted(name for bit, name in enumerate(CUE_LEVELS)
                               if mask >> bit & 1 and all(name not in g for g in started))
                if heard:
                    started.append(heard)
                break
    return started


def admin(service, path, body):
    request = urllib.request.Request(service.address("/admin/" + path), method="POST",
                                     data=json.dumps(body).encode())
    urllib.request.urlopen(request, timeout=10).close()


def routes(debug_log):
    """(layer, text) for each text the program handed to a speech layer, from
    its debug output; the layer is "<layer> failed" where that layer failed."""
    data = debug_log.read_bytes().decode("utf-8", "replace") if debug_log.exists() else ""
    return [(layer + (" failed" if failed else ""), text) for layer, failed, text in re.findall(
        r'OutputDebugStringA "Skyvigil speech via (\w+)( failed \([^)]*\))?: (.*)"', data)]


class Service:
    """The address prefs_bytes() needs from a test bed."""

    def __init__(self, port):
        self.port = port

    def address(self, path=""):
        return f"http://127.0.0.1:{self.port}{path}"


class WineRun:
    """What both runs below set up: a window manager, the weather service and a
    program folder, then `start` (each run's own); and all of it ended and
    removed afterwards."""

    PREFIX = "skyvigil-"

    @classmethod
    def setUpClass(cls):
        cls.root = Path(tempfile.mkdtemp(prefix=cls.PREFIX))
        cls.processes = Processes()
        cls.env = cls.wine_env()
        try:
            start_window_manager(cls.processes.start)
            _, port = start_weather_service(cls.processes.start, OPTIONS.service)
            cls.service = Service(port)
            cls.folder = cls.make_folder()
            cls.start()
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.processes.stop_all()
        subprocess.run(["wineserver", "-k"], env=cls.env, capture_output=True, timeout=30)
        shutil.rmtree(cls.root, ignore_errors=True)

    @classmethod
    def wine_env(cls):
        return wine_env(OPTIONS.wineprefix, cls.root)

    @classmethod
    def make_folder(cls):
        folder = cls.root / "run"
        (folder / "snd").mkdir(parents=True)
        for cue, level in CUE_LEVELS.items():
            write_level_wav(folder / "snd" / f"{cue}.wav", level, CUE_MS)
        shutil.copy(OPTIONS.program, folder / "Skyvigil.exe")
        shutil.copy(OPTIONS.tolk, folder / "Tolk.dll")  # the recording stub
        lines = ["[service]", f"base_address = {cls.service.address('/v1')}",
                 f"update_address = {cls.service.address()}", f"api_key = {SERVICE_KEY}"]
        (folder / "prefs.ini").write_bytes("".join(line + "\r\n" for line in lines).encode())
        # London monitored with nothing announced yet: the first pass announces it.
        (folder / "cities.json").write_text(json.dumps([
            {"name": "London", "temp": 0, "monitor": 1, "alerts": 0, "condition": ""},
            {"name": "Paris", "temp": 0, "monitor": 0, "alerts": 0, "condition": ""}]))
        return folder


class Win32DesktopTest(WineRun, unittest.TestCase):
    """One program run shared by the steps below, which run in name order."""

    PREFIX = "skyvigil-win32-"

    @classmethod
    def start(cls):
        cls.tolk_log = cls.root / "tolk.log"
        cls.run_program()

    @classmethod
    def run_program(cls):
        cls.program = cls.processes.start(["wine", "Skyvigil.exe"], cwd=cls.folder, env=cls.env)
        cls.window = wait_for("the main window",
                              lambda: windows_named("^" + re.escape(TITLE) + "$"), timeout=60)[0]

    # -- helpers ----------------------------------------------------------------

    def probe(self, *args):
        result = subprocess.run(["wine", str(OPTIONS.probe), *args], capture_output=True,
                                env=self.env, timeout=30)
        return result.stdout.decode("utf-8").splitlines()

    def lines(self, title, control):
        return self.probe("lines", title, str(control))

    def keys(self, window, *keys):
        subprocess.run(["xdotool", "windowactivate", "--sync", window, "key", *keys], check=True,
                       timeout=10)

    def spoken(self):
        """What reached the screen reader, as "<interrupt 0 or 1> <text>"."""
        if not self.tolk_log.exists():
            return []
        prefix = "Tolk_Output "
        lines = self.tolk_log.read_text(encoding="utf-8").splitlines()
        return [line[len(prefix):] for line in lines if line.startswith(prefix)]

    def wait_spoken(self, what, expected, timeout=15):
        try:
            wait_for(what, lambda: self.spoken() == expected, timeout)
        except Failure:
            raise Failure(f"spoken {self.spoken()}, expected {expected}")

    def shoot(self, name):
        if OPTIONS.screenshots is not None:
            OPTIONS.screenshots.mkdir(parents=True, exist_ok=True)
            screenshot(OPTIONS.screenshots / name)

    # -- the steps ------------------------------------------------------------------

    def test_1_start_up(self):
        self.wait_spoken("the first announcements",
                         ["0 London: Light rain", "0 London: 60.8 Degrees"])
        # Wine's audio reaches the file in bursts, later on a busy machine. The
        # two cues are queued a moment apart, so they may start in one mixing
        # period: then their order cannot be told from the output.
        wait_for("the condition cue, then the up cue",
                 lambda: cues_played(self.root / "audio.raw") in ([["condition"], ["up"]],
                                                                   [["condition", "up"]]),
                 timeout=30)
        wanted = prefs_bytes(self.service)
        wait_for("prefs.ini", lambda: (self.folder / "prefs.ini").read_bytes() == wanted)
        raw = (self.folder / "cities.json").read_bytes()
        saved = json.loads(raw)
        # Byte for byte what the core writes for the cities it holds: no text-mode
        # line ends, no mark, nothing cut short by the Windows file port.
        written = subprocess.run(["wine", str(OPTIONS.probe), "cities", "cities.json"],
                                 cwd=self.folder, capture_output=True, env=self.env, timeout=30)
        self.assertEqual(raw, written.stdout)
        self.assertEqual([(c["name"], c["monitor"], c["condition"], c["weather"]["temp_f"])
                          for c in saved],
                         [(LONDON, 1, "", 60.8), (PARIS, 0, "", 69.8)])
        self.assertEqual(self.lines(TITLE, 1), ["London: Light rain, 61 degrees F",
                                                "Paris: Sunny, 70 degrees F"])
        report = self.lines(TITLE, 3)
        self.assertEqual(len(report), 17)
        self.assertEqual(report[1:4], ["Light rain", "Temperature: 61 degrees F",
                                       "Feels like: 61 degrees F"])
        self.assertEqual(self.probe("text", TITLE, "2"), ["Weather for " + LONDON])
        self.assertEqual(self.probe("focus", TITLE), ["1"])
        # Drawn at every size the shell asks for, up to large icon views.
        icons = subprocess.run(["wine", str(OPTIONS.probe), "icons", "Skyvigil.exe"],
                               cwd=self.folder, capture_output=True, env=self.env, timeout=30)
        self.assertEqual(icons.stdout.decode().split(),
                         ["16", "20", "24", "32", "40", "48", "64", "256"])
        self.shoot("main-window.png")

    def test_2_keys(self):
        before = len(self.spoken())
        self.keys(self.window, "Down")
        wait_for("Paris's report",
                 lambda: self.probe("text", TITLE, "2") == ["Weather for " + PARIS])
        self.assertEqual(self.probe("text", TITLE, "4"), self.lines(TITLE, 3)[:1])
        self.keys(self.window, "ctrl+1")
        wait_for("Celsius", lambda: self.lines(TITLE, 1) == ["London: Light rain, 16 Degrees C",
                                                             "Paris: Sunny, 21 Degrees C"])
        self.keys(self.window, "ctrl+shift+c")
        self.wait_spoken("Celcius, Copied", self.spoken()[:before] + ["0 Celcius", "1 Copied"])
        # The keys of the shortcut stopped the voice before its own text.
        log = self.tolk_log.read_text(encoding="utf-8").splitlines()
        self.assertEqual(log[-2:], ["Tolk_Silence", "Tolk_Output 1 Copied"])
        self.assertEqual(self.probe("clipboard"), self.lines(TITLE, 3))
        wanted = prefs_bytes(self.service, celcius=1, cities_index=1)
        wait_for("prefs.ini", lambda: (self.folder / "prefs.ini").read_bytes() == wanted)
        # Tab and Shift+Tab go round the lists and the box in creation order.
        for key, control in (("Tab", "3"), ("Tab", "4"), ("Tab", "1"), ("shift+Tab", "4"),
                             ("shift+Tab", "3"), ("shift+Tab", "1")):
            self.keys(self.window, key)
            wait_for(f"{key} to control {control}",
                     lambda: self.probe("focus", TITLE) == [control])
            if control == "4":
                # The box's text is not selected whole, which readers would say.
                start, end = self.probe("selection", TITLE, "4")[0].split()
                self.assertEqual(start, end)

    def test_3_forecast_window(self):
        self.keys(self.window, "Return")
        forecast = wait_for("the forecast window", lambda: windows_named("^Forecast$"), 30)[0]
        lines = wait_for("forecast lines", lambda: self.lines("Forecast", 101))
        # The service dates the forecast in the city's time zone: in the hour
        # before midnight here, its first day may already be tomorrow.
        self.assertIn(lines[0], ("Today", "Tomorrow"))
        self.assertEqual(self.probe("focus", "Forecast"), ["101"])
        self.shoot("forecast-window.png")
        # Tab goes past the box and "Copy forecast" to "Close"; Enter presses it.
        self.keys(forecast, "Tab", "Tab", "Tab")
        wait_for("Close focused", lambda: self.probe("focus", "Forecast") == ["102"])
        self.keys(forecast, "Return")
        wait_for("the forecast window to close", lambda: not windows_named("^Forecast$"))
        self.assertTrue(windows_named("^" + re.escape(TITLE) + "$"), "Escape hid the main window")
        wait_for("the city list focused again", lambda: self.probe("focus", TITLE) == ["1"])

    def test_3b_next_hours_window(self):
        self.keys(self.window, "shift+Return")
        hours = wait_for("the next hours window", lambda: windows_named("^Next Hours$"), 30)[0]
        lines = wait_for("next hour lines", lambda: self.lines("Next Hours", 401))
        self.assertEqual(len(lines), 24)
        self.assertRegex(lines[0], r"^(1[0-2]|[1-9]) [AP]M: .+, -?\d+ Degrees C, \d+ percent "
                                   r"chance of (rain|snow)$")
        self.assertEqual(self.probe("focus", "Next Hours"), ["401"])
        self.keys(hours, "ctrl+shift+c")
        wait_for("the first line copied", lambda: self.probe("clipboard") == lines[:1])
        self.keys(hours, "Escape")
        wait_for("the next hours window to close", lambda: not windows_named("^Next Hours$"))
        wait_for("the city list focused again", lambda: self.probe("focus", TITLE) == ["1"])

    def test_3c_a_search_without_a_match_opens_no_window(self):
        self.keys(self.window, "ctrl+s")
        prompt = wait_for("the Search box", lambda: windows_named("^Search$"), 30)[0]
        subprocess.run(["xdotool", "windowactivate", "--sync", prompt, "type", "Nowhere"],
                       check=True, timeout=10)
        self.keys(prompt, "Return")
        error = wait_for("the Error box", lambda: windows_named("^Error$"), 30)[0]
        self.assertEqual(windows_named("^Results$"), [])
        self.keys(error, "Return")
        wait_for("the Error box to close", lambda: not windows_named("^Error$"))
        self.assertEqual(windows_named("^Results$"), [])
        wait_for("the city list focused again", lambda: self.probe("focus", TITLE) == ["1"])

    def test_3a_a_new_city_is_confirmed_and_removed_again(self):
        before = len(self.spoken())
        self.keys(self.window, "ctrl+n")
        prompt = wait_for("the New City box", lambda: windows_named("^New City$"), 30)[0]
        subprocess.run(["xdotool", "windowactivate", "--sync", prompt, "type", "Tokyo"],
                       check=True, timeout=10)
        self.keys(prompt, "Return")
        wait_for("the city confirmed", lambda: "0 Added " + TOKYO in self.spoken()[before:], 30)
        wait_for("Tokyo listed", lambda: [line.split(":")[0] for line in self.lines(TITLE, 1)]
                 == ["London", "Paris", "Tokyo"])
        self.keys(self.window, "End")
        wait_for("Tokyo's report",
                 lambda: self.probe("text", TITLE, "2") == ["Weather for " + TOKYO])
        self.keys(self.window, "Delete")
        sure = wait_for("the Remove City box", lambda: windows_named("^Remove City$"), 30)[0]
        self.keys(sure, "Return")
        wait_for("Tokyo removed", lambda: [line.split(":")[0] for line in self.lines(TITLE, 1)]
                 == ["London", "Paris"])
        # The removal selects the first city; the steps after it start from Paris.
        self.keys(self.window, "Down")
        wait_for("Paris's report",
                 lambda: self.probe("text", TITLE, "2") == ["Weather for " + PARIS])

    def test_3d_check_marks_and_the_help_menus_keys(self):
        # Paris is selected and not monitored: Toggle Skyvigil's mark follows Control+M.
        marked = lambda: self.probe("checked", TITLE, "6")  # noqa: E731
        self.assertEqual(marked(), ["0"])
        for mark in ("1", "0"):
            self.keys(self.window, "ctrl+m")
            wait_for(f"the check mark {mark}", lambda: marked() == [mark])
        # The menu bar, right to its fourth menu (Help), its first item.
        self.keys(self.window, "F10", "Right", "Right", "Right", "Down", "Return")
        shortcuts = wait_for("the Keyboard Shortcuts window",
                             lambda: windows_named("^Keyboard Shortcuts$"), 30)[0]
        self.assertIn("Control+N: Add City", self.lines("Keyboard Shortcuts", 401))
        self.keys(shortcuts, "Escape")
        wait_for("the city list focused again", lambda: self.probe("focus", TITLE) == ["1"])

    def hide_with_escape(self):
        before = self.spoken()
        self.keys(self.window, "Escape")
        wait_for("the window hidden", lambda: not windows_named("^" + re.escape(TITLE) + "$"))
        wanted = prefs_bytes(self.service, window_hidden=1, celcius=1, cities_index=1)
        wait_for("window_hidden 1", lambda: (self.folder / "prefs.ini").read_bytes() == wanted)
        self.wait_spoken("Skyvigil hidden", before + ["0 Skyvigil hidden"])

    def test_4_second_start_brings_the_hidden_window_back(self):
        self.hide_with_escape()
        second = self.processes.start(["wine", "Skyvigil.exe"], cwd=self.folder, env=self.env)
        alert = wait_for("the Alert box", lambda: windows_named("^Alert$"), 60)[0]
        self.keys(alert, "Return")
        self.assertEqual(second.wait(timeout=30), 0)
        wait_for("the window shown", lambda: windows_named("^" + re.escape(TITLE) + "$"))
        wait_for("the city list focused", lambda: self.probe("focus", TITLE) == ["1"])
        wanted = prefs_bytes(self.service, celcius=1, cities_index=1)
        wait_for("window_hidden 0", lambda: (self.folder / "prefs.ini").read_bytes() == wanted)
        self.assertIsNone(self.program.poll(), "the first instance ended")
        self.assertTrue((self.folder / "running").is_file())

    def test_5_escape_hides_the_summary_key_speaks_the_tray_shows(self):
        self.hide_with_escape()
        # Without a tray on the display, wine shows its own window of tray icons.
        tray = wait_for("wine's tray", lambda: windows_named("^Wine System Tray$"))[0]
        # The system-wide key speaks the selected city while the window is hidden,
        # once its forecast came; /speak from a second start says it again.
        before = self.spoken()
        self.keys(tray, "ctrl+alt+shift+w")
        self.wait_spoken("the summary", before + [PARIS_SUMMARY])
        speak = subprocess.run(["wine", "Skyvigil.exe", "/speak"], cwd=self.folder, env=self.env,
                               capture_output=True, timeout=60)
        self.assertEqual((speak.returncode, speak.stdout, speak.stderr), (0, b"", b""))
        self.wait_spoken("the summary again", before + [PARIS_SUMMARY] * 2)
        self.assertEqual(windows_named("^Alert$"), [])
        # One click shows the window. A double-click's clicks are counted by the
        # tray's rules, tested as a table: wine on a loaded machine may deliver
        # them apart, as two clicks.
        subprocess.run(["xdotool", "mousemove", "--window", tray, "10", "10", "click", "1"],
                       check=True, timeout=10)
        wait_for("the window shown", lambda: windows_named("^" + re.escape(TITLE) + "$"))
        wait_for("the city list focused", lambda: self.probe("focus", TITLE) == ["1"])
        self.keys(self.window, "ctrl+shift+c")
        self.wait_spoken("Copied, and nothing before it",
                         before + [PARIS_SUMMARY] * 2 + ["1 Copied"])
        self.assertTrue(windows_named("^" + re.escape(TITLE) + "$"), "the window went again")

    def test_5a_control_plus_makes_the_rows_taller(self):
        self.shoot("main-window-100.png")
        before = int(self.probe("rowheight", TITLE, "1")[0])
        spoken = self.spoken()
        # xdotool types "plus" as Shift and the "=" key, as a user would.
        self.keys(self.window, "ctrl+plus")
        wait_for("taller rows", lambda: int(self.probe("rowheight", TITLE, "1")[0]) > before)
        self.wait_spoken("the new size", spoken + ["1 Text size 125 percent"])
        for _ in range(3):
            self.keys(self.window, "ctrl+equal")
        wait_for("text_size 200 saved",
                 lambda: b"text_size = 200\r\n" in (self.folder / "prefs.ini").read_bytes())
        time.sleep(0.5)  # let the window paint before the picture
        self.shoot("main-window-200.png")
        spoken = self.spoken()
        self.keys(self.window, "ctrl+minus")
        self.wait_spoken("one step back", spoken + ["1 Text size 175 percent"])

    def test_6_close_box_ends_the_program_with_a_forecast_the_service_never_answers(self):
        admin(self.service, "fault", {"kind": "hang", "permanent": True,
                                      "path": "/v1/forecast.json"})
        before = self.spoken()
        self.keys(self.window, "Return")
        wait_for("the forecast window", lambda: windows_named("^Forecast$"), 30)
        self.wait_spoken("Loading forecast", before + ["0 Loading forecast"])
        closed = time.monotonic()
        subprocess.run(["wmctrl", "-i", "-c", self.window], check=True, timeout=10)
        self.assertEqual(self.program.wait(timeout=30), 0)
        gone = time.monotonic() - closed
        print(f"\n  gone {gone:.2f} s after the close box", file=sys.stderr)
        self.assertLess(gone, EXIT_PROMISE, "the exit waited for the forecast")
        self.assertFalse((self.folder / "running").exists())
        self.assertEqual(self.spoken(), before + ["0 Loading forecast", "1 Exiting"])

    def test_7_speak_without_skyvigil_running_says_so(self):
        before = self.spoken()
        alone = subprocess.run(["wine", "Skyvigil.exe", "/speak"], cwd=self.folder, env=self.env,
                               capture_output=True, timeout=60)
        self.assertEqual((alone.returncode, alone.stdout, alone.stderr),
                         (1, b"", b"Skyvigil is not running.\r\n"))
        self.assertFalse((self.folder / "running").exists(), "a second instance started")
        self.assertEqual(self.spoken(), before)
        version = subprocess.run(["wine", "Skyvigil.exe", "--Version"], cwd=self.folder,
                                 env=self.env, capture_output=True, timeout=60)
        self.assertEqual((version.returncode, version.stdout), (0, (TITLE + "\r\n").encode()))


class Win32NvdaTest(WineRun, unittest.TestCase):
    """Skyvigil.exe without Tolk.dll, NVDA played by fake_nvda.exe: each text
    goes to the reader running at that moment. Where each text went is read
    from the program's debug output (wine's seh channel)."""

    PREFIX = "skyvigil-nvda-"

    @classmethod
    def wine_env(cls):
        return dict(super().wine_env(), WINEDEBUG="-all,warn+seh")

    @classmethod
    def start(cls):
        cls.nvda_log = cls.root / "nvda.log"
        cls.debug_log = cls.root / "debug.log"
        (cls.folder / "Tolk.dll").unlink()
        cls.nvda = cls.start_nvda()
        with open(cls.debug_log, "wb") as debug:
            cls.program = cls.processes.start(["wine", "Skyvigil.exe"], cwd=cls.folder,
                                              env=cls.env, stderr=debug)
        cls.window = wait_for("the main window",
                              lambda: windows_named("^" + re.escape(TITLE) + "$"), 60)[0]

    @classmethod
    def start_nvda(cls):
        nvda = cls.processes.start(["wine", str(OPTIONS.fake_nvda), str(cls.nvda_log)],
                                   env=dict(cls.env, WINEDEBUG="-all"), stdout=subprocess.PIPE)
        if nvda.stdout.readline().strip() != b"listening":
            raise Failure("the fake NVDA did not listen")
        return nvda

    def heard(self):
        """What the fake NVDA was asked, in order."""
        if not self.nvda_log.exists():
            return []
        return self.nvda_log.read_text(encoding="utf-8").splitlines()

    def wait_heard(self, what, expected, timeout=20):
        try:
            wait_for(what, lambda: self.heard() == expected, timeout)
        except Failure:
            raise Failure(f"NVDA heard {self.heard()}, expected {expected}")

    def wait_routes(self, what, expected):
        """The last routes are `expected`."""
        try:
            wait_for(what, lambda: routes(self.debug_log)[-len(expected):] == expected)
        except Failure:
            raise Failure(f"routes {routes(self.debug_log)}, expected {expected} last")

    def refresh_to(self, condition):
        """London's condition becomes `condition`, and the program's timers run
        out, the refresh's among them."""
        admin(self.service, "weather",
              {"place": "London", "current": {"condition": {"text": condition}}})
        result = subprocess.run(["wine", str(OPTIONS.probe), "timers", TITLE],
                                capture_output=True, env=dict(self.env, WINEDEBUG="-all"),
                                timeout=30)
        self.assertEqual(result.returncode, 0)

    def test_1_start_up_news_spoken_and_shown_in_order(self):
        self.wait_heard("the start-up news", [
            "speak London: Light rain", "braille London: Light rain",
            "speak London: 60.8 Degrees", "braille London: 60.8 Degrees"])
        self.wait_routes("the routes", [("nvda", "London: Light rain"),
                                        ("nvda", "London: 60.8 Degrees")])

    def test_2_an_interrupting_text_cancels_first_and_keys_cancel_nothing(self):
        before = self.heard()
        self.probe_keys("ctrl+shift+c")
        self.wait_heard("Copied", before + ["cancel", "speak Copied", "braille Copied"])

    def probe_keys(self, *keys):
        subprocess.run(["xdotool", "windowactivate", "--sync", self.window, "key", *keys],
                       check=True, timeout=10)

    def test_3_hidden_a_refreshs_news_arrive(self):
        before = self.heard()
        self.probe_keys("Escape")
        wait_for("the window hidden", lambda: not windows_named("^" + re.escape(TITLE) + "$"))
        self.wait_heard("Skyvigil hidden",
                        before + ["speak Skyvigil hidden", "braille Skyvigil hidden"])
        before = self.heard()
        self.refresh_to("Cloudy")
        self.wait_heard("the news", before + ["speak London: Cloudy", "braille London: Cloudy"])

    def test_4_nvda_gone_the_system_voice_speaks_nvda_back_it_speaks_again(self):
        before = self.heard()
        self.processes.end(self.nvda)
        self.refresh_to("Fog")
        wait_for("the system voice",
                 lambda: ("sapi failed", "London: Fog") in routes(self.debug_log), 30)
        self.assertEqual(self.heard(), before)
        type(self).nvda = self.start_nvda()
        self.refresh_to("Sunny")
        self.wait_heard("the news", before + ["speak London: Sunny", "braille London: Sunny"])
        # Each route is written once its layer took the text.
        self.wait_routes("the route", [("sapi failed", "London: Fog"), ("nvda", "London: Sunny")])


class Win32PlantedDllTest(WineRun, unittest.TestCase):
    """DLLs with the names of the system DLLs that Skyvigil loads itself, at
    its first call or at run time, beside it, each leaving "<name>.loaded" if
    it is ever loaded; Tolk.dll (refusing every text, so that the other layers
    are tried) and a reader library Tolk loads by name beside it too. After
    start-up, a cue and a spoken text, only the reader library was loaded."""

    PREFIX = "skyvigil-planted-"
    SYSTEM_NAMES = ["winhttp.dll", "wtsapi32.dll", "UIAutomationCore.dll", "xaudio2_9.dll",
                    "xaudio2_8.dll", "sapi.dll"]
    READER = "nvdaControllerClient64.dll"

    @classmethod
    def wine_env(cls):
        env = super().wine_env()
        # Wine puts its own copy in place of a file of a DLL it implements,
        # wherever the file was found; Windows loads the file. "Native first"
        # makes wine load these as Windows would.
        names = ",".join(name[:-4].lower() for name in cls.SYSTEM_NAMES)
        return dict(env, WINEDEBUG="-all,warn+seh", SKYVIGIL_TOLK_REFUSE="1",
                    WINEDLLOVERRIDES=env["WINEDLLOVERRIDES"] + f";{names}=n,b")

    @classmethod
    def start(cls):
        cls.debug_log = cls.root / "debug.log"
        for name in cls.SYSTEM_NAMES + [cls.READER]:
            shutil.copy(OPTIONS.planted_dll, cls.folder / name)
        with open(cls.debug_log, "wb") as debug:
            cls.program = cls.processes.start(["wine", "Skyvigil.exe"], cwd=cls.folder,
                                              env=cls.env, stderr=debug)
        try:
            wait_for("the main window", lambda: windows_named("^" + re.escape(TITLE) + "$"), 60)
        except Failure as failure:
            raise Failure(f"{failure}; loaded: {cls.loaded()}")

    @classmethod
    def loaded(cls):
        return sorted(path.name for path in cls.folder.glob("*.loaded"))

    def test_only_the_reader_library_beside_tolk_was_loaded(self):
        # Refused by Tolk, each text goes on to the system voice (which fails
        # under wine) after NVDA, JAWS and Narrator were looked for.
        wait_for("the first text", lambda: ("sapi failed", "London: Light rain")
                 in routes(self.debug_log), 30)
        wait_for("the condition cue",
                 lambda: any("condition" in cues for cues in cues_played(self.root / "audio.raw")),
                 30)
        log = (self.root / "tolk.log").read_text(encoding="utf-8").splitlines()
        self.assertEqual(log[:3], ["Tolk_Load", "Tolk found " + self.READER, "Tolk_TrySAPI 1"])
        self.assertEqual(self.loaded(), [self.READER + ".loaded"])


def main():
    global OPTIONS
    parser = argparse.ArgumentParser(add_help=False)
    for name in ("--program", "--probe", "--service", "--wineprefix", "--tolk", "--fake-nvda",
                 "--planted-dll"):
        parser.add_argument(name, required=True, type=lambda p: Path(p).resolve())
    parser.add_argument("--screenshots", type=lambda p: Path(p).resolve())
    OPTIONS, rest = parser.parse_known_args()
    started = time.monotonic()
    program = unittest.main(argv=[sys.argv[0], *rest], exit=False, verbosity=2, warnings=False,
                            failfast=True)
    print(f"win32 desktop test ran in {time.monotonic() - started:.1f} s")
    sys.exit(0 if program.result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
