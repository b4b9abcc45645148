#!/usr/bin/python3
"""Desktop smoke test: starts the real program against the local weather service
under a virtual display and checks start-up, its files, what it says through a
recording speech server, the single-instance guard, the accessible names and the
close box.

Run inside a display and a session bus, with a window manager started here:
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" dbus-run-session -- \
      /usr/bin/python3 smoke_test.py --program build/default/skyvigil \
      --service tools/weather_service.py --snd snd --speechd tests/e2e/speechd
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from testbed import (TITLE, Failure, check, start_weather_service, start_window_manager,  # noqa: E402
                     SERVICE_KEY, wait_for, windows_named)

CITY_NAME = "London, City of London, Greater London, United Kingdom"


def read_bytes(path):
    try:
        return path.read_bytes()
    except OSError:
        return None


def expected_prefs(base_address):
    # The groups the program writes are appended after the one it found, keys
    # in the order they are written.
    lines = ["\ufeff", "[service]", f"base_address = {base_address}",
             f"api_key = {SERVICE_KEY}",
             "[general]", "window_hidden = 0", "celcius = 0", "cities_index = 0",
             "[monitors]", "monitor_sounds = 1", "temp_diff = 10"]
    return "".join(line + "\r\n" for line in lines).encode("utf-8")


class Session:
    """Everything the test starts, so teardown can end it whatever happened."""

    def __init__(self):
        self.processes = []
        self.cleanups = []

    def on_stop(self, cleanup):
        self.cleanups.append(cleanup)

    def start(self, args, **kwargs):
        process = subprocess.Popen(args, **kwargs)
        self.processes.append(process)
        return process

    def stop_all(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.kill()
        for process in self.processes:
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
        for cleanup in reversed(self.cleanups):
            cleanup()


def accessible_names():
    """Names of the program's focusable controls as screen readers see them."""
    script = r"""
import pyatspi
desktop = pyatspi.Registry.getDesktop(0)
for app in desktop:
    if app is None or app.name != "skyvigil":
        continue
    def walk(node):
        for child in node:
            if child is None:
                continue
            role = child.getRoleName()
            if role in ("table", "text"):
                labels = [target.name for relation in child.getRelationSet()
                          if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                          for target in (relation.getTarget(i)
                                         for i in range(relation.getNTargets()))]
                print(role + "|" + child.name + "|" + ",".join(labels))
            walk(child)
    walk(app)
"""
    result = subprocess.run(["/usr/bin/python3", "-c", script], capture_output=True, text=True,
                            timeout=30)
    return result.stdout.splitlines()


def spoken(record):
    return (read_bytes(record) or b"").decode("utf-8", "replace").splitlines()


def run(options, work, session):
    _, port = start_weather_service(session.start, options.service)
    base_address = f"http://127.0.0.1:{port}/v1"
    (work / "prefs.ini").write_bytes(
        f"[service]\r\nbase_address = {base_address}\r\napi_key = {SERVICE_KEY}\r\n".encode())
    # Monitored, with nothing announced yet: the first pass announces London.
    (work / "cities.json").write_text(
        '[{"name": "London", "temp": 0, "monitor": 1, "alerts": 0, "condition": ""}]')
    shutil.copytree(options.snd, work / "snd")

    testbed = options.speechd / "speechd-testbed.sh"
    speech_dir, record = work / "speechd", work / "spoken.txt"
    session.on_stop(lambda: subprocess.run(["bash", testbed, "stop", speech_dir]))
    subprocess.run(["bash", testbed, "start", speech_dir, record], check=True)

    start_window_manager(session.start)
    env = dict(os.environ)
    env["SDL_AUDIODRIVER"] = "dummy"
    env["SPEECHD_ADDRESS"] = f"unix_socket:{speech_dir}/speechd.sock"
    env.pop("NO_AT_BRIDGE", None)
    started = time.monotonic()
    first = session.start([options.program], cwd=work, env=env)

    windows = wait_for("the main window", lambda: windows_named("^" + re.escape(TITLE) + "$"))
    check(len(windows) == 1, f"expected one main window, found {windows}")
    main_window = windows[0]
    print(f"main window {main_window} up after {time.monotonic() - started:.1f} s")

    wanted_prefs = expected_prefs(base_address)
    try:
        wait_for("prefs.ini", lambda: read_bytes(work / "prefs.ini") == wanted_prefs)
    except Failure:
        raise Failure(f"prefs.ini holds {read_bytes(work / 'prefs.ini')!r},"
                      f" expected {wanted_prefs!r}")
    cities = wait_for("cities.json with the service's name",
                      lambda: (b'"' + CITY_NAME.encode() + b'"') in (read_bytes(
                          work / "cities.json") or b"") and read_bytes(work / "cities.json"))
    check(cities.startswith(b"[\r\n") and cities.endswith(b"]"),
          f"cities.json is not CR LF JSON without a final line break: {cities[:20]!r}")
    saved = [(c["name"], c["temp"], c["monitor"], c["alerts"], c["condition"],
              c["weather"]["temp_f"], c["weather"]["condition"]["text"])
             for c in json.loads(cities)]
    check(saved == [(CITY_NAME, 0, 1, 0, "", 60.8, "Light rain")],
          f"cities.json holds {saved}")
    check((work / "running").is_file(), "the marker file is missing while the program runs")

    # The change check after the first refresh announces the monitored city.
    announced = ["London: Light rain", "London: 60.8 Degrees"]
    try:
        wait_for("the first announcements", lambda: spoken(record) == announced)
    except Failure:
        raise Failure(f"spoken {spoken(record)}, expected {announced}")

    # Screen readers find the lists and the box under their labels.
    heading = f"Weather for {CITY_NAME}"
    wanted = {"table|Areas|Areas", f"table|{heading}|{heading}", "text|Details|"}
    names = set(wait_for("accessible names", lambda: (
        found if wanted <= set(found := accessible_names()) else None), timeout=15, interval=0.5))
    print("accessible controls: " + "; ".join(sorted(names)))

    # A second start while the first runs shows the alert and ends with code 0.
    second = session.start([options.program], cwd=work, env=env)
    alert = wait_for("the Alert box", lambda: windows_named("^Alert$"))[0]
    subprocess.run(["xdotool", "windowactivate", "--sync", alert, "key", "Return"], check=True)
    try:
        code = second.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise Failure("the second instance did not end after its alert")
    check(code == 0, f"the second instance ended with code {code}")
    check(first.poll() is None, "the first instance ended when the second started")
    check((work / "running").is_file(), "the second instance removed the marker")

    # The close box ends the program like Exit.
    subprocess.run(["wmctrl", "-i", "-c", main_window], check=True)
    try:
        code = first.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise Failure("the program did not end after its window was closed")
    check(code == 0, f"the program ended with code {code}")
    check(not (work / "running").exists(), "the marker file is left after the close")
    try:
        wait_for("Exiting", lambda: spoken(record) == announced + ["Exiting"], timeout=5)
    except Failure:
        raise Failure(f"spoken {spoken(record)}, expected {announced + ['Exiting']}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True, type=Path)
    parser.add_argument("--service", required=True, type=Path)
    parser.add_argument("--snd", required=True, type=Path)
    parser.add_argument("--speechd", required=True, type=Path,
                        help="folder of the recording speech server")
    options = parser.parse_args()
    options.program = options.program.resolve()

    work = Path(tempfile.mkdtemp(prefix="skyvigil-smoke-"))
    session = Session()
    try:
        run(options, work, session)
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        session.stop_all()
        shutil.rmtree(work, ignore_errors=True)
    print("smoke test passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
