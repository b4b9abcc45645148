#!/usr/bin/python3
"""Accessibility acceptance tests: the real program driven with the keyboard the way
a screen-reader user drives it, read back through the desktop's accessibility API
(AT-SPI), with its speech recorded by a private speech-dispatcher, its sound cues by
SDL's disk driver and its files read from its working folder.

Run inside a virtual display and a session bus:
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" dbus-run-session -- \\
      /usr/bin/python3 a11y_test.py --program build/default/skyvigil \\
      --service tools/weather_service.py --snd snd \\
      --speechd tests/e2e/speechd/speechd-testbed.sh [unittest options]
"""

import base64
import datetime
import json
import os
import re
import shutil
import subprocess
import sys
import time
import warnings
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
warnings.filterwarnings("ignore", category=DeprecationWarning)

import expected as ex  # noqa: E402
from screen import Screen, clipboard, focus_window, press, type_text  # noqa: E402
from testbed import (TITLE, BedTestCase, Failure, cue_onsets, parse_options, prefs_bytes,  # noqa: E402
                     run_suite, screenshot, wait_for)

OPTIONS = None

# The weather service's clock stands still at 2024-07-09 08:00 UTC, so that the
# "Last updated" times and forecast dates are fixed.
FROZEN_EPOCH = 1720512000

PARIS = "Paris, Ile-de-France, France"
LONDON = "London, City of London, Greater London, United Kingdom"
TOKYO = "Tokyo, Tokyo, Japan"
BERLIN = "Berlin, Berlin, Germany"
PARIS_TEXAS = "Paris, Texas, United States of America"

# Paris's current report in Fahrenheit, from tests/data/service/paris.json.
PARIS_REPORT = [
    "Last updated: 2024-07-09 10:00",
    "Sunny",
    "Temperature: 70 degrees F",
    "Feels like: 70 degrees F",
    "Humidity: 49%",
    "Wind: ENE at 7 Miles Per Hour (11.2 Kilometers Per Hour) with gusts of 8.1 Miles Per Hour"
    " (13 Kilometers per Hour)",
    "Pressure: 30.06 in (1018 mb)",
    "UV index: 6",
    "Air Quality",
    "EPA index: 1",
    "DEFRA index: 1",
    "Carbon Monoxide (Co): 243.70 (Very Unhealthy)",
    "Ozone (O3): 95.40 (Moderate)",
    "Nitrogen dioxide (no2): 18.90 (Good)",
    "Sulphur dioxide (so2): 2.40 (Good)",
    "pm2.5: 9.60 (Good)",
    "pm10: 11.20 (Good)",
]

THREE_CITY_LINES = [
    "Paris: Sunny, 70 degrees F",
    "London: Light rain, 61 degrees F",
    "Tokyo: Overcast, 76 degrees F",
]


def city(name, monitor=0, alerts=0, temp=0, condition=""):
    return {"name": name, "temp": temp, "monitor": monitor, "alerts": alerts,
            "condition": condition}


def three_cities():
    return [city(PARIS), city(LONDON), city(TOKYO)]


def tables(window):
    return window.find_all("table") if window is not None else []


class DesktopAccessibilityTest(BedTestCase):
    """One display, window manager, tray, speech server and weather service for
    the whole class; a fresh working folder and program run for each test."""

    root_prefix = "skyvigil-a11y-"

    def setUp(self):
        self.bed.admin("reset", {})
        self.bed.admin("clock", {"epoch": FROZEN_EPOCH})
        self.run_ = None
        self.started = time.monotonic()

    def tearDown(self):
        if self.run_ is not None:
            self.run_.end()
        if os.environ.get("SKYVIGIL_A11Y_TIMES"):
            print(f" [{time.monotonic() - self.started:.1f} s]", file=sys.stderr, end="")

    # -- helpers -----------------------------------------------------------------

    def start(self, cities, prefs=None, cues="repo", folder=None):
        if folder is None:
            folder = self.bed.new_folder(self._testMethodName, cities, prefs, cues)
        self.mark = self.bed.speech_mark()
        self.run_ = self.bed.launch(folder)
        self.screen = Screen(self.run_.pid)
        return self.run_

    def main(self):
        return self.screen.window(TITLE)

    def wait_main(self, what, condition, timeout=10.0):
        """Waits until the shown main window satisfies `condition`; returns it."""
        def probe():
            window = self.main()
            return window if window is not None and condition(window) else None
        try:
            return wait_for(what, probe, timeout)
        except Failure:
            window = self.main()
            detail = "no main window" if window is None else self.describe_main(window)
            raise Failure(f"timed out waiting for {what}; the main window shows: {detail}")

    @staticmethod
    def describe_main(window):
        lists = tables(window)
        parts = [f"{table.name!r}: {table.lines()}" for table in lists]
        labels = [label.name for label in window.find_all("label")]
        return f"labels {labels}; lists {'; '.join(parts)}"

    def wait_ready(self, city_lines, heading_city):
        """Waits for the first report: the city list, the heading and 17 lines; then
        gives the main window the keyboard focus of the X server."""
        heading = "Weather for " + heading_city

        def ready(window):
            lists = tables(window)
            return (len(lists) == 2 and lists[0].lines() == city_lines
                    and lists[1].name == heading and len(lists[1].lines()) == 17)

        window = self.wait_main(f"the report of {heading_city}", ready, timeout=20)
        if not window.has("active"):
            focus_window(wait_for("the main X window", self.run_.main_window))
        return window

    def focused(self, role=None, name=None, timeout=5.0):
        """Waits until the focused control has the given role and name. Whatever has
        the focus must carry a non-empty accessible name."""
        seen = []

        def probe():
            node = self.screen.focused()
            seen.append(node)
            if node is None or (role and node.role != role) or (
                    name is not None and node.name != name):
                return None
            return node

        try:
            node = wait_for(f"the focus on {role} {name!r}", probe, timeout)
        except Failure:
            last = seen[-1].describe() if seen and seen[-1] is not None else "nothing"
            raise Failure(f"expected the focus on {role} {name!r}, found {last}")
        self.assertTrue(node.name.strip(), f"focused control has no name: {node.describe()}")
        return node

    def wait_window(self, name, role=None, timeout=10.0):
        def probe():
            window = self.screen.window(name)
            return window if window is not None and (role is None or window.role == role) else None
        return wait_for(f"the {role or 'window'} {name!r}", probe, timeout)

    def wait_gone(self, name, timeout=10.0):
        wait_for(f"{name!r} to close", lambda: self.screen.window(name) is None, timeout)

    def wait_prefs(self, expected_bytes, timeout=5.0):
        try:
            wait_for("prefs.ini", lambda: self.run_.prefs() == expected_bytes, timeout)
        except Failure:
            self.assertEqual(self.run_.prefs(), expected_bytes)

    def speech(self):
        return self.bed.spoken_since(self.mark)

    def expect_speech(self, expected, mark=None):
        self.bed.wait_for_speech(self.mark if mark is None else mark, expected)

    def current(self, query):
        return self.bed.ask_service("current", query, aqi="yes")

    def city_lines(self, names, unit=0):
        return [ex.city_line(name, self.current(name)["current"], unit) for name in names]

    def message_box(self, title, text):
        """Waits for a message box: an alert with the title, the text as its label,
        and a named button with the focus."""
        box = self.wait_window(title)
        self.assertEqual(box.role, "alert", box.describe())
        labels = [label.name for label in box.find_all("label") if label.name]
        self.assertEqual(labels, [text])
        button = self.focused(role="push button")
        return box, button

    def tab_through(self, window_name, stops):
        """Presses Tab until the focus comes back to where it started, at most
        `stops` times; every control met must be named. Returns their names in
        order."""
        first = self.focused()
        names = [first.name]
        previous = first
        for _ in range(stops):
            press("Tab")

            def moved():
                node = self.screen.focused()
                if node is None or (node.role, node.name) == (previous.role, previous.name):
                    return None
                return node

            node = wait_for(f"Tab to move the focus on from {previous.describe()}", moved)
            self.assertTrue(node.name.strip(), f"focused control has no name: {node.describe()}")
            if (node.role, node.name) == (first.role, first.name):
                break
            names.append(node.name)
            previous = node
        else:
            self.fail(f"the focus did not come back to {first.describe()} after {names}")
        self.assertEqual(self.screen.active_window().name, window_name)
        return names

    # -- 1. start -----------------------------------------------------------------

    def test_01_start_announces_and_shows_the_selected_city(self):
        cities = [city(PARIS, monitor=1, temp=40, condition="Heavy snow"),
                  city("London", alerts=1), city("Tokyo")]
        run = self.start(cities, cues="levels")

        # Alerts during the first refresh, under the name as typed; then the
        # monitored city's changes on the loop's first pass.
        self.expect_speech([
            "London: Moderate Yellow wind warning. View the forecast For more.",
            "London: Minor Yellow rain warning. View the forecast For more.",
            "London: Minor Flood alert. View the forecast For more.",
            "Paris: Sunny",
            "Paris: 69.8 Degrees",
        ])
        window = self.wait_ready(THREE_CITY_LINES, PARIS)

        self.assertEqual(window.role, "frame")
        self.assertEqual(window.name, "Skyvigil 0.36, build 23")
        self.assertIsNotNone(run.main_window(), "no X window titled " + TITLE)

        areas, report = tables(window)
        self.assertEqual(areas.lines(), THREE_CITY_LINES)
        self.assertEqual(areas.selected_lines(), [0])
        focus = self.focused(role="table", name="Areas")
        self.assertEqual(focus.labels, ["Areas"])
        self.assertEqual([label.name for label in window.find_all("label")],
                         ["Areas", "Weather for " + PARIS])

        self.assertEqual(report.name, "Weather for " + PARIS)
        self.assertEqual(report.lines(), PARIS_REPORT)
        self.assertEqual(report.lines(), ex.report_lines(self.current(PARIS), 0))
        self.assertEqual(report.selected_lines(), [0])
        detail = window.find("text")
        self.assertEqual(detail.name, "Details")
        self.assertEqual(detail.text, PARIS_REPORT[0])

        # The alert cue sounded during the refresh, before the condition and up
        # cues of the monitor check (or in the same mixing period: background
        # speech no longer holds the refresh up); nothing fell.
        time.sleep(0.5)
        onsets = cue_onsets(run.audio)
        self.assertEqual(set(onsets), {"alert", "condition", "up"}, onsets)
        self.assertLessEqual(onsets["alert"], onsets["condition"])
        self.assertLessEqual(onsets["condition"], onsets["up"])

        # The close box ends the program like Exit: "Exiting", marker gone.
        mark = self.bed.speech_mark()
        run.close()
        self.assertFalse((run.folder / "running").exists(), "the marker file is left")
        self.expect_speech(["Exiting"], mark)

    # -- 2. moving in the city list -----------------------------------------------

    def test_02_down_arrow_shows_the_next_city(self):
        run = self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        self.wait_prefs(prefs_bytes(self.bed, cities_index=0))
        london = ex.report_lines(self.current(LONDON), 0)

        press("Down")
        window = self.wait_main("London's report", lambda w: tables(w)[1].lines() == london)
        areas, report = tables(window)
        self.assertEqual(areas.selected_lines(), [1])
        self.assertEqual(report.name, "Weather for " + LONDON)
        self.assertEqual(window.find_all("label")[1].name, "Weather for " + LONDON)
        self.assertEqual(report.selected_lines(), [0])
        self.assertEqual(window.find("text").text, london[0])
        self.assertEqual(london[0], "Last updated: 2024-07-09 09:00")
        self.focused(role="table", name="Areas")
        self.wait_prefs(prefs_bytes(self.bed, cities_index=1))
        self.assertEqual(self.speech(), [])
        self.assertTrue(run.running())

    # -- 3. temperature unit --------------------------------------------------------

    def test_03_control_1_cycles_the_temperature_unit(self):
        self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        paris = self.current(PARIS)
        spot_checks = {
            1: ("Paris: Sunny, 21 Degrees C", "Temperature: 21 Degrees C"),
            2: ("Paris: Sunny, 21 degrees C (70 degrees F)",
                "Temperature: 21 degrees C (70 degrees F)"),
            3: ("Paris: Sunny, 70 degrees F (21 degrees C)",
                "Temperature: 70 degrees F (21 degrees C)"),
            0: ("Paris: Sunny, 70 degrees F", "Temperature: 70 degrees F"),
        }
        for unit in (1, 2, 3, 0):
            mark = self.bed.speech_mark()
            press("ctrl+1")
            self.expect_speech([ex.UNIT_NAMES[unit]], mark)
            cities = self.city_lines([PARIS, LONDON, TOKYO], unit)
            report = ex.report_lines(paris, unit)
            window = self.wait_main(f"the lines in unit {unit}", lambda w: (
                tables(w)[0].lines() == cities and tables(w)[1].lines() == report))
            self.assertEqual((tables(window)[0].lines()[0], tables(window)[1].lines()[2]),
                             spot_checks[unit])
            # Wind and pressure keep their units.
            self.assertEqual(tables(window)[1].lines()[5:7], PARIS_REPORT[5:7])
            self.wait_prefs(prefs_bytes(self.bed, celcius=unit))
        self.assertEqual(self.speech(), ["Celcius", "Both (Celcius first)",
                                         "Both (fahrenheit first)", "fahrenheit"])

    # -- 4. copying ---------------------------------------------------------------

    def test_04_control_shift_c_copies_the_report_or_the_selected_line(self):
        self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        self.focused(role="table", name="Areas")

        # From the city list: every report line, joined by line feeds; twice alike.
        for _ in range(2):
            mark = self.bed.speech_mark()
            press("ctrl+shift+c")
            self.expect_speech(["Copied"], mark)
            self.assertEqual(clipboard(), "\n".join(PARIS_REPORT))

        # From the report list: only the selected line.
        press("Tab")
        self.focused(role="table", name="Weather for " + PARIS)
        press("Down", "Down")
        self.wait_main("the third report line", lambda w: (
            tables(w)[1].selected_lines() == [2] and w.find("text").text == PARIS_REPORT[2]))
        mark = self.bed.speech_mark()
        press("ctrl+shift+c")
        self.expect_speech(["Copied"], mark)
        self.assertEqual(clipboard(), "Temperature: 70 degrees F")

        # From the detail box: the same line.
        press("Tab")
        self.focused(role="text", name="Details")
        mark = self.bed.speech_mark()
        press("ctrl+shift+c")
        self.expect_speech(["Copied"], mark)
        self.assertEqual(clipboard(), "Temperature: 70 degrees F")

    # -- 5. monitor and alert switches --------------------------------------------------

    def test_05_control_m_and_control_g_switch_and_announce(self):
        cities = [city(PARIS, monitor=1, temp=69.8, condition="Sunny"), city(LONDON),
                  city(TOKYO)]
        run = self.start(cities)
        self.wait_ready(THREE_CITY_LINES, PARIS)
        time.sleep(0.5)
        self.assertEqual(self.speech(), [], "an unchanged monitored city was announced")

        def saved(name):
            return next(entry for entry in run.cities() if entry["name"] == name)

        press("ctrl+m")
        self.expect_speech(["Skyvigil for " + PARIS + " off"])
        wait_for("Paris's monitor off in cities.json", lambda: saved(PARIS)["monitor"] == 0)

        mark = self.bed.speech_mark()
        press("ctrl+m")
        # Its condition and temperature were announced before: nothing more.
        self.expect_speech(["Skyvigil for " + PARIS + " on"], mark)
        wait_for("Paris's monitor on in cities.json", lambda: saved(PARIS)["monitor"] == 1)

        # A city never monitored: turning it on announces its weather at once.
        press("Down")
        self.wait_main("London's report", lambda w: tables(w)[1].name == "Weather for " + LONDON)
        mark = self.bed.speech_mark()
        press("ctrl+m")
        self.expect_speech(["Skyvigil for " + LONDON + " on", "London: Light rain",
                            "London: 60.8 Degrees"], mark)
        wait_for("London's monitor on in cities.json", lambda: saved(LONDON)["monitor"] == 1)
        self.assertEqual((saved(LONDON)["condition"], saved(LONDON)["temp"]), ("", 0),
                         "the monitor check itself saved cities.json")

        mark = self.bed.speech_mark()
        press("ctrl+g")
        self.expect_speech(["Alerts for " + LONDON + " on"], mark)
        wait_for("London's alerts on in cities.json", lambda: saved(LONDON)["alerts"] == 1)
        london = saved(LONDON)
        self.assertEqual((london["monitor"], london["condition"], london["temp"]),
                         (1, "Light rain", 60.8))

        mark = self.bed.speech_mark()
        press("ctrl+g")
        self.expect_speech(["Alerts for " + LONDON + " off"], mark)
        wait_for("London's alerts off in cities.json", lambda: saved(LONDON)["alerts"] == 0)
        self.assertEqual([(c["name"], c["monitor"], c["alerts"]) for c in run.cities()],
                         [(PARIS, 1, 0), (LONDON, 1, 0), (TOKYO, 0, 0)])

    # -- 6. adding by zip code or name ------------------------------------------------

    def test_06_control_n_refuses_a_duplicate_and_adds_a_new_place(self):
        run = self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)

        press("ctrl+n")
        prompt = "Enter either a zip code or a city name to use with the program."
        self.wait_window("New City")
        field = self.focused(role="text", name=prompt)
        self.assertEqual(field.labels, [prompt])
        self.assertEqual(field.text, "")
        type_text("75001")
        press("Return")
        self.message_box("Alert", "You already have added this city to Skyvigil.")
        press("Return")
        self.wait_gone("Alert")
        self.wait_main("three cities", lambda w: tables(w)[0].lines() == THREE_CITY_LINES)
        wait_for("three cities in cities.json",
                 lambda: [c["name"] for c in run.cities()] == [PARIS, LONDON, TOKYO])

        press("ctrl+n")
        self.wait_window("New City")
        self.focused(role="text", name=prompt)
        type_text("Berlin")
        press("Return")
        lines = THREE_CITY_LINES + ["Berlin: Light rain shower, 64 degrees F"]
        window = self.wait_main("Berlin in the list", lambda w: tables(w)[0].lines() == lines)
        self.assertEqual(tables(window)[0].selected_lines(), [0])
        self.assertEqual(tables(window)[1].name, "Weather for " + PARIS)
        self.focused(role="table", name="Areas")
        wait_for("Berlin in cities.json", lambda: len(run.cities()) == 4)
        berlin = run.cities()[3]
        self.assertEqual((berlin["name"], berlin["monitor"], berlin["alerts"]), (BERLIN, 0, 1))
        self.expect_speech([f"Added {BERLIN}"])

    # -- 7. removing ------------------------------------------------------------------

    def test_07_delete_asks_and_removes_on_yes_only(self):
        run = self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        press("Down")
        self.wait_main("London's report", lambda w: tables(w)[1].name == "Weather for " + LONDON)
        before = (run.folder / "cities.json").read_bytes()
        question = f"Are you sure you wish to remove {LONDON}?"

        press("Delete")
        box, _ = self.message_box("Remove City", question)
        self.assertEqual(sorted(b.name for b in box.find_all("push button")), ["No", "Yes"])
        press("alt+n")
        self.wait_gone("Remove City")
        window = self.wait_main("the list after No", lambda w: tables(w)[0].lines() ==
                                THREE_CITY_LINES)
        self.assertEqual(tables(window)[0].selected_lines(), [1])
        self.assertEqual((run.folder / "cities.json").read_bytes(), before)

        press("Delete")
        self.message_box("Remove City", question)
        press("alt+y")
        self.wait_gone("Remove City")
        lines = [THREE_CITY_LINES[0], THREE_CITY_LINES[2]]
        window = self.wait_main("the list after Yes", lambda w: tables(w)[0].lines() == lines)
        self.assertEqual(tables(window)[0].selected_lines(), [0])
        self.assertEqual(tables(window)[1].name, "Weather for " + PARIS)
        self.assertEqual([c["name"] for c in run.cities()], [PARIS, TOKYO])
        self.wait_prefs(prefs_bytes(self.bed, cities_index=0))

    # -- 8. hiding and the tray icon ---------------------------------------------------

    def test_08_escape_hides_and_the_tray_icon_shows_again(self):
        run = self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        window_id = run.main_window()

        press("Escape")
        wait_for("the main window to hide", lambda: self.main() is None)
        self.assertEqual(run.map_state(window_id), "IsUnMapped")
        self.wait_prefs(prefs_bytes(self.bed, window_hidden=1))

        run.click_tray_icon()
        self.wait_main("the main window shown again", lambda w: w.has("active"))
        self.focused(role="table", name="Areas")
        self.wait_prefs(prefs_bytes(self.bed, window_hidden=0))

        focus_window(run.main_window())
        press("Escape")
        wait_for("the main window to hide", lambda: self.main() is None)
        self.wait_prefs(prefs_bytes(self.bed, window_hidden=1))
        run.end()

        # The next start stays hidden, but refreshes and shows its tray icon.
        (run.folder / "cities.json").write_text(
            json.dumps(three_cities()), encoding="utf-8")
        run = self.start(None, folder=run.folder)
        wait_for("the first refresh", lambda: "weather" in run.cities()[0], timeout=15)
        wait_for("the tray icon", run.tray_icon)
        time.sleep(1.0)
        self.assertIsNone(self.main(), "the main window shows although it was left hidden")
        self.assertIsNone(run.main_window(), "a main X window is mapped")

        run.click_tray_icon()
        window = self.wait_main("the main window shown", lambda w: w.has("active"))
        self.assertEqual(tables(window)[0].lines(), THREE_CITY_LINES)
        self.focused(role="table", name="Areas")
        self.wait_prefs(prefs_bytes(self.bed, window_hidden=0))
        run.close()
        self.assertFalse((run.folder / "running").exists(), "the marker file is left")

    # -- 9. forecast, search, update ----------------------------------------------------

    def test_09_enter_opens_the_forecast_and_escape_closes_it(self):
        run = self.start(three_cities(), cues="levels")
        self.wait_ready(THREE_CITY_LINES, PARIS)
        press("Down")
        self.wait_main("London's report", lambda w: tables(w)[1].name == "Weather for " + LONDON)
        answer = self.bed.ask_service("forecast", LONDON, days=14, alerts="yes")
        lines = ex.forecast_lines(answer, 0, datetime.date.today())

        press("Return")
        self.wait_window("Forecast", role="frame")
        window = wait_for("the forecast lines", lambda: (
            (w := self.screen.window("Forecast")) is not None and w.find("table") is not None
            and w.find("table").lines() == lines and w))
        forecast = window.find("table")
        self.assertEqual(forecast.name, "Forecast")
        self.assertEqual(forecast.labels, ["Forecast"])
        self.assertEqual(forecast.lines()[:3], [
            "Yellow wind warning Alert",
            "Yellow warning of wind affecting London & South East England",
            "Severity: Moderate"])
        self.assertEqual((lines.count(","), lines.count("...")), (2, 13))
        self.assertEqual(forecast.selected_lines(), [0])
        self.assertEqual(window.find("text").text, "")
        self.assertEqual([b.name for b in window.find_all("push button")],
                         ["Copy forecast", "Close"])
        self.focused(role="table", name="Forecast")
        self.assertEqual(self.screen.active_window().name, "Forecast")

        # The alert cue sounded when the window opened; the sound device writes its
        # file only once it is opened, on the sound thread.
        onsets = wait_for("the alert cue", lambda: run.audio.exists() and cue_onsets(run.audio))
        self.assertEqual(set(onsets), {"alert"})

        press("Escape")
        self.wait_gone("Forecast")
        window = self.wait_main("the main window active", lambda w: w.has("active"))
        self.focused(role="table", name="Areas")
        self.assertEqual(tables(window)[0].lines(), THREE_CITY_LINES)
        self.wait_prefs(prefs_bytes(self.bed, cities_index=1))
        self.assertEqual(self.speech(), [])

        # Enter on a focused button presses it: Tab to "Close", Enter closes.
        press("Return")
        wait_for("the forecast filled again", lambda: (
            (w := self.screen.window("Forecast")) is not None and w.find("table") is not None
            and w.find("table").lines() == lines))
        node = self.focused(role="table", name="Forecast")
        for _ in range(4):
            if node.name == "Close":
                break
            press("Tab")
            node = wait_for("Tab to move the focus on", lambda was=node: (
                (n := self.screen.focused()) is not None
                and (n.role, n.name) != (was.role, was.name) and n))
        self.focused(role="push button", name="Close")
        press("Return")
        self.wait_gone("Forecast")
        self.wait_main("the main window active", lambda w: w.has("active"))
        self.focused(role="table", name="Areas")
        self.assertIsNone(self.screen.window("Alert details"))

    def test_09a_a_slow_forecast_leaves_the_main_window_answering(self):
        run = self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        # Longer than any wait below: a main thread that waited on the service
        # would answer none of them.
        self.bed.admin("delay", {"ms": 15000})

        press("Return")
        self.wait_window("Forecast", role="frame")
        self.focused(role="table", name="Forecast")
        self.assertEqual(self.screen.window("Forecast").find("table").lines(), [])
        self.expect_speech(["Loading forecast"])

        focus_window(wait_for("the main X window", run.main_window))
        press("Down")
        self.wait_main("London's report", lambda w: tables(w)[1].name == "Weather for " + LONDON)

        focus_window(wait_for("the forecast X window", lambda: run.windows("^Forecast$"))[0])
        press("Escape")
        self.wait_gone("Forecast")
        self.bed.admin("delay", {"ms": 0})
        # The answer comes after Escape and is dropped: no window, nothing said.
        time.sleep(16)
        self.assertEqual(self.speech(), ["Loading forecast"])
        self.assertIsNone(self.screen.window("Forecast"))
        self.assertTrue(run.running())

    def test_10_control_s_finds_and_adds_through_the_results_window(self):
        run = self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)

        # No match: "Searching" while the service is slow, then the error box,
        # and no window at all.
        self.bed.admin("delay", {"ms": 2000})
        press("ctrl+s")
        self.wait_window("Search")
        type_text("Nowhere")
        press("Return")
        self.message_box("Error", "No results")
        self.assertIsNone(self.screen.window("Results"))
        self.assertEqual(self.speech(), ["Searching"])
        press("Return")
        self.wait_gone("Error")
        self.assertIsNone(self.screen.window("Results"))
        self.focused(role="table", name="Areas")
        self.bed.admin("delay", {"ms": 0})

        press("ctrl+s")
        self.wait_window("Search")
        field = self.focused(role="text", name="Enter a query to search for")
        self.assertEqual(field.text, "")
        type_text("Paris")
        press("Return")

        window = self.wait_window("Results", role="frame")
        results = window.find("table")
        self.assertEqual(results.name, "Results")
        self.assertEqual(results.lines(), [PARIS, PARIS_TEXAS])
        self.assertEqual(results.selected_lines(), [0])
        self.assertEqual([b.name for b in window.find_all("push button")], ["Add", "Cancel"])
        self.focused(role="table", name="Results")

        press("Down")
        wait_for("the second result selected", lambda: (
            self.screen.window("Results").find("table").selected_lines() == [1]))
        press("Return")
        self.wait_gone("Results")
        lines = THREE_CITY_LINES + ["Paris: Sunny, 93 degrees F"]
        window = self.wait_main("the new city", lambda w: tables(w)[0].lines() == lines)
        # The new city is selected while the report still shows the former one.
        self.assertEqual(tables(window)[0].selected_lines(), [3])
        self.assertEqual(tables(window)[1].name, "Weather for " + PARIS)
        wait_for("the new city in cities.json", lambda: len(run.cities()) == 4)
        added = run.cities()[3]
        self.assertEqual((added["name"], added["monitor"], added["alerts"]), (PARIS_TEXAS, 0, 1))

    def test_11_a_newer_version_is_told_at_start(self):
        # Linux updates come from the package source: the program only tells.
        self.bed.admin("version", {"text": "0.37"})
        run = self.start(three_cities())
        box = self.wait_window("Alert", timeout=15)
        focus_window(wait_for("the Alert X window", lambda: run.windows("^Alert$"))[0])
        self.message_box("Alert", "Skyvigil 0.37 is available from your package source.")
        self.assertEqual(sorted(b.name for b in box.find_all("push button")), ["OK"])
        press("Return")
        self.wait_gone("Alert")
        self.wait_ready(THREE_CITY_LINES, PARIS)
        time.sleep(0.5)
        self.assertFalse((run.folder / "Skyvigil.zip").exists())
        paths = [entry["path"] for entry in self.bed.admin("log")]
        self.assertEqual(paths.count("/projects/skyvigilversion.txt"), 1)
        self.assertNotIn("/softs/Skyvigil.zip", paths)
        self.assertEqual(self.speech(), [])
        self.assertTrue(run.running())

    def test_12_an_updater_lying_in_the_folder_is_never_run(self):
        self.bed.admin("version", {"text": "0.40"})
        folder = self.bed.new_folder(self._testMethodName, three_cities())
        updater = folder / "updater"
        updater.write_text("#!/bin/sh\necho started > updater-ran\n")
        updater.chmod(0o755)
        run = self.start(None, folder=folder)
        self.wait_window("Alert", timeout=15)
        focus_window(wait_for("the Alert X window", lambda: run.windows("^Alert$"))[0])
        self.message_box("Alert", "Skyvigil 0.40 is available from your package source.")
        press("Return")
        self.wait_gone("Alert")
        time.sleep(1.0)
        self.assertTrue(run.running())
        self.assertFalse((folder / "Skyvigil.zip").exists())
        self.assertFalse((folder / "updater-ran").exists(), "the program ran ./updater")

    def test_13_check_for_updates_from_the_menu(self):
        run = self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        time.sleep(1.0)
        self.assertEqual([w.name for w in self.screen.windows()], [TITLE],
                         "the check at start said something about the same version")

        def check_from_menu():
            focus_window(run.main_window())
            press("F10")
            wait_for("the Application menu", lambda: any(
                n.role == "menu" and n.name == "Application" and n.has("selected")
                for n in self.main().walk()))
            press("Down", "Down")
            wait_for("Check for Updates highlighted", lambda: any(
                n.role == "menu item" and n.name == "Check for Updates" and n.has("selected")
                for n in self.main().walk()))
            press("Return")

        check_from_menu()
        self.message_box("Alert", "No update available.")
        press("Return")
        self.wait_gone("Alert")

        self.bed.admin("version", {"text": "0.36\n"})
        check_from_menu()
        self.message_box("Alert", "Skyvigil 0.36\n is available from your package source.")
        press("Return")
        self.wait_gone("Alert")
        self.assertFalse((run.folder / "Skyvigil.zip").exists())
        self.assertTrue(run.running())

    # -- 10. names of everything that takes the focus --------------------------------

    def test_14_every_control_that_takes_the_focus_is_named(self):
        self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        self.assertEqual(self.tab_through(TITLE, 3),
                         ["Areas", "Weather for " + PARIS, "Details"])

        press("ctrl+n")
        # Input boxes present themselves as dialogs, as message boxes do.
        self.wait_window("New City", role="dialog")
        prompt = "Enter either a zip code or a city name to use with the program."
        self.focused(role="text", name=prompt)
        self.assertEqual(self.tab_through("New City", 2), [prompt, "OK"])
        press("Escape")
        self.wait_gone("New City")

        press("ctrl+2")
        self.wait_window("Temperature Difference", role="dialog")
        prompt = ("Please enter a value in which the temperature must change before you are"
                  " notified about it in a monitor.")
        field = self.focused(role="text", name=prompt)
        self.assertEqual(field.text, "10")
        self.assertEqual(self.tab_through("Temperature Difference", 2), [prompt, "OK"])
        press("Escape")
        self.wait_gone("Temperature Difference")

        press("Delete")
        self.message_box("Remove City", f"Are you sure you wish to remove {PARIS}?")
        # The box's text is a selectable label that Tab reaches too.
        self.assertEqual(sorted(self.tab_through("Remove City", 3)),
                         [f"Are you sure you wish to remove {PARIS}?", "No", "Yes"])
        press("alt+n")
        self.wait_gone("Remove City")

        focus_window(self.run_.main_window())
        press("Return")
        self.wait_window("Forecast")
        self.focused(role="table", name="Forecast")
        self.assertEqual(self.tab_through("Forecast", 4),
                         ["Forecast", "Details", "Copy forecast", "Close"])
        press("Escape")
        self.wait_gone("Forecast")

        focus_window(self.run_.main_window())
        press("ctrl+s")
        self.wait_window("Search")
        self.focused(role="text", name="Enter a query to search for")
        self.assertEqual(self.tab_through("Search", 2), ["Enter a query to search for", "OK"])
        type_text("Paris")
        press("Return")
        self.wait_window("Results")
        self.focused(role="table", name="Results")
        self.assertEqual(self.tab_through("Results", 3), ["Results", "Add", "Cancel"])
        press("Escape")
        self.wait_gone("Results")

        # An empty search: the "No results" error box.
        focus_window(self.run_.main_window())
        press("ctrl+s")
        self.wait_window("Search")
        self.focused(role="text", name="Enter a query to search for")
        press("Return")
        self.message_box("Error", "No results")
        press("Return")
        self.wait_gone("Error")
        self.focused(role="table", name="Areas")

    # -- a real screen reader ------------------------------------------------------

    def test_15_orca_reads_the_focused_city_line(self):
        if shutil.which("orca") is None:
            self.skipTest("orca is not installed (scripts/install-deps.sh installs it)")
        mark = self.bed.speech_mark()
        orca = self.bed.start_orca(self.bed.root / "orca-settings")
        try:
            wait_for("Orca to start", lambda: "Screen reader on." in self.bed.spoken_since(mark),
                     timeout=30)
            self.start(three_cities())
            self.wait_ready(THREE_CITY_LINES, PARIS)

            # Orca names the window and the focused list, then reads its
            # selected line.
            def read(line, after):
                def probe():
                    heard = [text.rstrip(".") for text in self.bed.spoken_since(after)]
                    window = [i for i, text in enumerate(heard) if text.startswith(TITLE)]
                    if not window or "Areas" not in heard[window[0]:]:
                        return False
                    areas = heard.index("Areas", window[0])
                    return line in heard[areas:]
                return probe

            try:
                wait_for("Orca reading the city list", read(THREE_CITY_LINES[0], self.mark),
                         timeout=15)
            except Failure:
                self.fail(f"Orca said {self.bed.spoken_since(self.mark)}")

            mark = self.bed.speech_mark()
            press("Down")
            try:
                wait_for("Orca reading the next city", lambda: THREE_CITY_LINES[1] in [
                    text.rstrip(".") for text in self.bed.spoken_since(mark)], timeout=10)
            except Failure:
                self.fail(f"Orca said {self.bed.spoken_since(mark)} after Down")
        finally:
            self.bed.end_orca(orca)

    # -- 16. the weather service key ----------------------------------------------------

    def test_16_a_refused_key_is_told_and_an_accepted_one_kept(self):
        self.bed.admin("keys", {"refuse": {"typo-key": 2006}, "accept": ["my-own-key"]})
        folder = self.bed.new_folder(self._testMethodName, three_cities(), key=None)
        run = self.start(None, folder=folder)

        dialog = self.wait_window("Weather Service Key", timeout=20)
        texts = [t.text for t in dialog.find_all("text")]
        self.assertIn("https://www.weatherapi.com/signup.aspx", texts)
        self.assertTrue(any("WeatherAPI.com" in label.name for label in dialog.find_all("label")))
        field = self.focused(role="text", name="Weather service key")
        self.assertEqual(field.labels, ["Weather service key"])
        type_text("typo-key")
        press("Return")
        self.expect_speech(["API key is invalid."])
        dialog = self.wait_window("Weather Service Key")
        self.assertIn("API key is invalid.", [label.name for label in dialog.find_all("label")])
        self.focused(role="text", name="Weather service key")
        press("ctrl+a")
        type_text("my-own-key")
        press("Return")

        self.wait_gone("Weather Service Key")
        self.wait_ready(THREE_CITY_LINES, PARIS)
        wait_for("the key in prefs.ini", lambda: b"api_key = my-own-key\r\n" in run.prefs())
        self.assertEqual(self.speech(), ["API key is invalid."])
        keys = [entry["form"].get("key") for entry in self.bed.admin("log")
                if entry["path"].startswith("/v1/")]
        self.assertEqual(keys[:2], [["typo-key"], ["my-own-key"]])

    # -- 17. the announcement history ---------------------------------------------------

    def test_17_control_h_shows_what_was_said_newest_first(self):
        self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        press("ctrl+1")
        self.expect_speech(["Celcius"])
        press("ctrl+shift+m")
        self.expect_speech(["Celcius", "Monitor sounds off"])

        press("ctrl+h")
        self.wait_window("History", role="frame")
        history = self.focused(role="table", name="Announcements")
        self.assertEqual(history.labels, ["Announcements"])
        lines = history.lines()
        self.assertEqual([line[6:] for line in lines], ["Monitor sounds off", "Celcius"])
        self.assertTrue(all(re.fullmatch(r"\d\d:\d\d ", line[:6]) for line in lines), lines)
        self.assertEqual(history.selected_lines(), [0])

        press("ctrl+shift+c")
        self.expect_speech(["Celcius", "Monitor sounds off", "Copied"])
        self.assertEqual(clipboard(), lines[0])
        press("Escape")
        self.wait_gone("History")
        self.focused(role="table", name="Areas")

    # -- 18. each alert once --------------------------------------------------------------

    def test_18_with_alerts_once_only_new_alerts_are_spoken(self):
        # Below zero, London is fetched again with every city added.
        self.bed.admin("weather", {"place": "London", "current": {"temp_c": -1.0}})
        wind = self.bed.ask_service("forecast", LONDON, days=1, alerts="yes")["alerts"]["alert"][0]
        self.start([city(LONDON, alerts=1)], prefs=["[monitors]", "alerts_once = 1"])
        said = [f"{LONDON}: Moderate Yellow wind warning. View the forecast For more.",
                f"{LONDON}: Minor Yellow rain warning. View the forecast For more.",
                f"{LONDON}: Minor Flood alert. View the forecast For more."]
        self.expect_speech(said)

        press("ctrl+n")
        self.wait_window("New City")
        type_text("Berlin")
        press("Return")
        self.wait_main("Berlin listed", lambda w: len(tables(w)[0].lines()) == 2
                       and tables(w)[0].lines()[1].startswith("Berlin: "))
        said.append(f"Added {BERLIN}")
        self.expect_speech(said)

        storm = dict(wind, event="Storm warning", severity="Severe", headline="Storm")
        self.bed.admin("alerts", {"place": "London", "alerts": [wind, storm]})
        press("ctrl+n")
        self.wait_window("New City")
        type_text("Tokyo")
        press("Return")
        said += [f"{LONDON}: Severe Storm warning. View the forecast For more.",
                 "Tokyo: Moderate Heavy rain advisory. View the forecast For more.",
                 f"Added {TOKYO}"]
        self.expect_speech(said)

    # -- 19. cancelling New City --------------------------------------------------------

    def test_19_cancelling_new_city_keeps_twin_cities(self):
        cities = [city(LONDON), city(PARIS, alerts=1), city(PARIS, monitor=1, condition="Sunny",
                                                            temp=70)]
        run = self.start(cities)
        lines = [THREE_CITY_LINES[1], THREE_CITY_LINES[0], THREE_CITY_LINES[0]]
        self.wait_ready(lines, LONDON)
        before = [(c["name"], c["monitor"], c["alerts"]) for c in run.cities()]

        press("ctrl+n")
        self.wait_window("New City")
        press("Escape")
        self.wait_gone("New City")
        # The unit's name comes after whatever the cancelled command did.
        press("ctrl+1")
        self.expect_speech(["Celcius"])
        self.assertIsNone(self.screen.window("Alert"))
        self.assertEqual(len(tables(self.main())[0].lines()), 3)
        self.assertEqual([(c["name"], c["monitor"], c["alerts"]) for c in run.cities()], before)
        self.assertEqual(len(before), 3)

    # -- 20. Orca from window to window -------------------------------------------------

    def test_21_control_plus_makes_the_rows_taller(self):
        self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        self.shoot("linux-main-window-100.png")
        self.assert_uncut("Areas", "Weather for " + PARIS)
        before = [row[3] for row in self.screen.extents(TITLE, "Areas")[1]]
        self.assertEqual(len(before), 3)

        def taller():
            rows = self.screen.extents(TITLE, "Areas")[1]
            return len(rows) == 3 and min(row[3] for row in rows) > max(before)

        # xdotool types "plus" as Shift and the "=" key, as a user would.
        mark = self.bed.speech_mark()
        press("ctrl+plus")
        wait_for("taller rows", taller)
        self.expect_speech(["Text size 125 percent"], mark)
        self.wait_prefs(prefs_bytes(self.bed, text_size=125))

        mark = self.bed.speech_mark()
        press("ctrl+equal", "ctrl+equal", "ctrl+equal")
        self.expect_speech([f"Text size {size} percent" for size in (150, 175, 200)], mark)
        self.wait_prefs(prefs_bytes(self.bed, text_size=200))
        # The report's longest line may pass half the window now; the cities still fit.
        self.assert_uncut("Areas")
        self.shoot("linux-main-window-200.png")

        mark = self.bed.speech_mark()
        press("ctrl+minus")
        self.expect_speech(["Text size 175 percent"], mark)
        self.wait_prefs(prefs_bytes(self.bed, text_size=175))

    def assert_uncut(self, *names):
        """Every row of the named lists ends within its list: no line needs scrolling."""
        for name in names:
            (x, _, width, _), rows = self.screen.extents(TITLE, name)
            for row in rows:
                self.assertLessEqual(row[0] + row[2], x + width, f"a row of {name} is cut")

    def shoot(self, name):
        folder = os.environ.get("SKYVIGIL_SCREENSHOTS")
        if folder:
            Path(folder).mkdir(parents=True, exist_ok=True)
            screenshot(Path(folder) / name)

    def orca_heard(self, mark, expected, timeout=10.0):
        """Waits until `expected` was said in a row since `mark`, each text compared
        without Orca's closing full stop and " frame". How soon is measured by
        bench/orca_speech_wait.py, not here."""
        deadline = time.monotonic() + timeout
        while True:
            heard = [re.sub(r"( frame)?\.?$", "", text) for text in self.bed.spoken_since(mark)]
            if any(heard[i:i + len(expected)] == expected for i in range(len(heard))):
                break
            if time.monotonic() > deadline:
                self.fail(f"expected {expected} in a row, Orca and Skyvigil said {heard}")
            time.sleep(0.02)

    def test_20_orca_announces_each_window_as_it_comes(self):
        if shutil.which("orca") is None:
            self.skipTest("orca is not installed (scripts/install-deps.sh installs it)")
        mark = self.bed.speech_mark()
        orca = self.bed.start_orca(self.bed.root / "orca-settings-20")
        second = None
        try:
            wait_for("Orca to start", lambda: "Screen reader on." in self.bed.spoken_since(mark),
                     timeout=30)
            # The first refresh's London alerts are still to be said at the first key.
            run = self.start([city(PARIS), city(LONDON, alerts=1), city(TOKYO)])
            self.wait_ready(THREE_CITY_LINES, PARIS)
            mark = self.bed.speech_mark()
            press("Down")
            self.orca_heard(mark, [THREE_CITY_LINES[1]])

            answer = self.bed.ask_service("forecast", LONDON, days=14, alerts="yes")
            lines = ex.forecast_lines(answer, 0, datetime.date.today())
            mark = self.bed.speech_mark()
            press("Return")
            self.orca_heard(mark, ["Forecast", "Forecast", f"table with {len(lines)} rows 1 column",
                                   lines[0]])

            mark = self.bed.speech_mark()
            press("Escape")
            self.orca_heard(mark, [TITLE, "Areas", "table with 3 rows 1 column",
                                   THREE_CITY_LINES[1]])

            mark = self.bed.speech_mark()
            press("Escape")
            self.orca_heard(mark, ["Skyvigil hidden"])
            wait_for("the main window to hide", lambda: self.main() is None)

            mark = self.bed.speech_mark()
            second = self.bed.launch(run.folder)
            wait_for("the second start's alert", lambda: Screen(second.pid).window("Alert"))
            focus_window(wait_for("its X window", lambda: second.windows("^Alert$")[0]))
            press("Return")
            self.assertEqual(second.process.wait(timeout=10), 0)
            self.orca_heard(mark, [TITLE])
            self.wait_main("the main window back", lambda w: w.has("active"))

            mark = self.bed.speech_mark()
            press("ctrl+n")
            self.wait_window("New City")
            type_text("Berlin")
            press("Return")
            self.orca_heard(mark, ["Added " + BERLIN])
        finally:
            if second is not None:
                second.end()
            self.bed.end_orca(orca)

    # -- 23. next hours and an alert's details ----------------------------------------------

    def test_23_shift_enter_opens_the_next_hours(self):
        self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        press("Down")
        self.wait_main("London's report", lambda w: tables(w)[1].name == "Weather for " + LONDON)
        answer = self.bed.ask_service("forecast", LONDON, days=2, alerts="yes")
        lines = ex.next_hour_lines(answer, 0)
        self.assertEqual(len(lines), 24)

        press("shift+Return")
        self.wait_window("Next Hours", role="frame")
        hours = wait_for("the next hours", lambda: (
            (w := self.screen.window("Next Hours")) is not None and w.find("table") is not None
            and w.find("table").lines() == lines and w.find("table")))
        self.assertEqual(hours.name, "Next Hours")
        self.assertEqual(hours.labels, ["Next Hours"])
        self.assertEqual(hours.selected_lines(), [0])
        self.focused(role="table", name="Next Hours")

        press("ctrl+shift+c")
        self.expect_speech(["Copied"])
        self.assertEqual(clipboard(), lines[0])
        press("Escape")
        self.wait_gone("Next Hours")
        self.focused(role="table", name="Areas")

    def test_24_enter_on_an_alert_line_opens_its_details(self):
        self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)
        press("Down")
        self.wait_main("London's report", lambda w: tables(w)[1].name == "Weather for " + LONDON)
        press("Return")
        self.wait_window("Forecast", role="frame")
        wait_for("the forecast lines", lambda: (
            (w := self.screen.window("Forecast")) is not None and w.find("table") is not None
            and len(w.find("table").lines()) > 3))
        forecast_lines = self.screen.window("Forecast").find("table").lines()
        press("Return")
        self.wait_window("Alert details", role="frame")
        alert = self.focused(role="table", name="Alert details")
        self.assertEqual(alert.lines(), [
            "Yellow warning of wind affecting London & South East England",
            "Severity: Moderate", "Urgency: Expected",
            "Areas affected: London & South East England",
            "Effective 2024-07-09T06:00:00+01:00", "Expires 2024-07-09T21:00:00+01:00",
            "Strong winds may cause some disruption to travel and outdoor activities.",
            "Secure loose objects such as bins, garden furniture and trampolines."])
        self.assertEqual(alert.selected_lines(), [0])
        # Escape goes back to the forecast it came from, on the same line.
        press("Escape")
        self.wait_gone("Alert details")
        forecast = self.focused(role="table", name="Forecast")
        self.assertEqual(forecast.lines(), forecast_lines)
        self.assertEqual(forecast.selected_lines(), [0])
        self.assertEqual(self.screen.active_window().name, "Forecast")
        press("Escape")
        self.wait_gone("Forecast")
        self.focused(role="table", name="Areas")

    # -- 25. the Help menu and the check items ------------------------------------------

    def test_25_help_lists_the_keys_and_a_toggle_reads_its_state(self):
        self.start(three_cities())
        self.wait_ready(THREE_CITY_LINES, PARIS)

        def monitor_item():
            return next((n for n in self.main().walk() if n.role == "check menu item"
                         and n.name == "Toggle Skyvigil (Control+M)"), None)

        item = wait_for("the monitor's check item", monitor_item)
        self.assertFalse(item.has("checked"), item.describe())
        press("ctrl+m")
        self.expect_speech(["Skyvigil for " + PARIS + " on"])
        wait_for("the monitor's item checked", lambda: monitor_item().has("checked"))
        press("ctrl+m")
        wait_for("the monitor's item not checked", lambda: not monitor_item().has("checked"))

        # The Help menu is the last: Left from the first menu wraps round to it.
        press("F10")
        wait_for("the Application menu", lambda: any(
            n.role == "menu" and n.name == "Application" and n.has("selected")
            for n in self.main().walk()))
        press("Left", "Down")
        wait_for("Keyboard Shortcuts highlighted", lambda: any(
            n.role == "menu item" and n.name == "Keyboard Shortcuts" and n.has("selected")
            for n in self.main().walk()))
        press("Return")
        self.wait_window("Keyboard Shortcuts", role="frame")
        keys = self.focused(role="table", name="Keyboard Shortcuts")
        lines = keys.lines()
        self.assertEqual([line for line in lines if line.startswith("Control+N")],
                         ["Control+N: Add City"])
        self.assertEqual(keys.selected_lines(), [0])
        press("Escape")
        self.wait_gone("Keyboard Shortcuts")
        self.focused(role="table", name="Areas")

def main():
    global OPTIONS
    OPTIONS, rest = parse_options()
    DesktopAccessibilityTest.options = OPTIONS
    run_suite(rest, "accessibility suite")


if __name__ == "__main__":
    main()
