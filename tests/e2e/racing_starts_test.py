#!/usr/bin/python3
"""Racing starts: twenty copies of the real program started at the same moment in
one folder. Exactly one runs; each of the others shows the "Alert" box, leaves
the marker alone and ends with code 0 once its box is dismissed.

Run inside a display and a session bus:
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" dbus-run-session -- \
      /usr/bin/python3 racing_starts_test.py --program build/default/skyvigil \
      --service tools/weather_service.py --snd snd
"""

import argparse
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

STARTS = 20
ALERT_TEXT = "The program already seems to be running."


def window_pid(window):
    result = subprocess.run(["xdotool", "getwindowpid", window], capture_output=True, text=True)
    return int(result.stdout) if result.returncode == 0 and result.stdout.strip() else None


def alert_texts(program):
    """The label texts of every "Alert" box of the program, as screen readers see them."""
    script = r"""
import sys
import pyatspi
desktop = pyatspi.Registry.getDesktop(0)
for app in desktop:
    if app is None or app.name != sys.argv[1]:
        continue
    for window in app:
        if window is None or window.name != "Alert":
            continue
        def walk(node):
            for child in node:
                if child is None:
                    continue
                if child.getRoleName() == "label" and child.name:
                    print(child.name)
                walk(child)
        walk(window)
"""
    # Accessible applications are named after their executable file.
    result = subprocess.run(["/usr/bin/python3", "-c", script, program.name], capture_output=True,
                            text=True, timeout=60)
    return result.stdout.splitlines()


class Session:
    """Everything the test starts, so that teardown ends it whatever happened."""

    def __init__(self):
        self.processes = []
        self.children = []

    def start(self, args, **kwargs):
        process = subprocess.Popen(args, **kwargs)
        self.processes.append(process)
        return process

    def stop_all(self):
        for pid in self.children:
            try:
                os.kill(pid, 9)
                os.waitpid(pid, 0)
            except (ProcessLookupError, ChildProcessError):
                pass
        for process in reversed(self.processes):
            if process.poll() is None:
                process.kill()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass


def start_together(session, program, work, env):
    """Forks STARTS children that all wait on one pipe, then lets them go at once."""
    barrier_read, barrier_write = os.pipe()
    for _ in range(STARTS):
        pid = os.fork()
        if pid == 0:
            try:
                os.close(barrier_write)
                os.chdir(work)
                os.read(barrier_read, 1)  # end of file once the parent closes its end
                os.execve(program, [str(program)], env)
            finally:
                os._exit(127)
        session.children.append(pid)
    os.close(barrier_read)
    os.close(barrier_write)
    return list(session.children)


def wait_exit(pid, timeout):
    """The exit code of child `pid`, or None if it did not end in time."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        done, status = os.waitpid(pid, os.WNOHANG)
        if done == pid:
            return os.waitstatus_to_exitcode(status)
        time.sleep(0.1)
    return None


def reap(pids, codes, timeout):
    """Collects into `codes` the exit codes of the children in `pids` that end
    within `timeout` seconds; whether all of them have."""
    deadline = time.monotonic() + timeout
    while True:
        for pid in pids:
            if pid not in codes:
                done, status = os.waitpid(pid, os.WNOHANG)
                if done == pid:
                    codes[pid] = os.waitstatus_to_exitcode(status)
        if len(codes) == len(pids) or time.monotonic() >= deadline:
            return len(codes) == len(pids)
        time.sleep(0.1)


def run(options, work, session):
    _, port = start_weather_service(session.start, options.service)
    (work / "prefs.ini").write_bytes(
        f"[service]\r\nbase_address = http://127.0.0.1:{port}/v1\r\n"
        f"api_key = {SERVICE_KEY}\r\n".encode())
    (work / "cities.json").write_text(
        '[{"name": "London", "temp": 0, "monitor": 0, "alerts": 0, "condition": ""}]')
    shutil.copytree(options.snd, work / "snd")
    start_window_manager(session.start)

    env = dict(os.environ)
    env["SDL_AUDIODRIVER"] = "dummy"
    env["SPEECHD_ADDRESS"] = f"unix_socket:{work}/no-such-folder/speechd.sock"
    env.pop("NO_AT_BRIDGE", None)
    started = time.monotonic()
    pids = start_together(session, options.program, work, env)

    # One main window and an Alert box for each of the others.
    main_windows = wait_for("the main window",
                            lambda: windows_named("^" + re.escape(TITLE) + "$"), timeout=60)
    alerts = wait_for(f"{STARTS - 1} Alert boxes",
                      lambda: (found if len(found := windows_named("^Alert$")) >= STARTS - 1
                               else None), timeout=120)
    print(f"{len(alerts)} Alert boxes and the main window up after "
          f"{time.monotonic() - started:.1f} s")
    time.sleep(1)  # a second main window or a twentieth box would show by now
    main_windows = windows_named("^" + re.escape(TITLE) + "$")
    alerts = windows_named("^Alert$")
    check(len(main_windows) == 1, f"expected one main window, found {len(main_windows)}")
    check(len(alerts) == STARTS - 1, f"expected {STARTS - 1} Alert boxes, found {len(alerts)}")
    winner = window_pid(main_windows[0])
    check(winner in pids, f"the main window belongs to pid {winner}, none of ours")
    losers = [pid for pid in pids if pid != winner]
    check(sorted(window_pid(alert) for alert in alerts) == sorted(losers),
          "the Alert boxes do not belong to the nineteen other starts")

    texts = wait_for("the Alert texts", lambda: (
        found if len(found := alert_texts(options.program)) >= STARTS - 1 else None),
        timeout=60, interval=1)
    check(texts == [ALERT_TEXT] * (STARTS - 1), f"the Alert boxes say {texts}")

    # While the boxes are up the marker is the winner's; dismissing them ends
    # each loser with code 0 and leaves it in place.
    marker = work / "running"
    check(marker.is_file(), "no marker while the program runs")
    held = marker.stat().st_ino
    # On a loaded display the window manager may not have activated a box
    # before its Return is sent, which then goes elsewhere: boxes still up get
    # another Return.
    codes = {}
    for _ in range(5):
        for alert in windows_named("^Alert$"):
            subprocess.run(["xdotool", "windowactivate", "--sync", alert, "key", "Return"],
                           timeout=30)
        if reap(losers, codes, 10):
            break
    for pid in losers:
        check(pid in codes, f"start {pid} did not end after its Alert box")
        check(codes[pid] == 0, f"start {pid} ended with code {codes[pid]}")
    check(wait_exit(winner, 0) is None, "the running instance ended")
    check(marker.is_file() and marker.stat().st_ino == held, "the marker was replaced or removed")

    # The survivor still works and removes its marker on close.
    subprocess.run(["wmctrl", "-i", "-c", main_windows[0]], check=True)
    code = wait_exit(winner, 30)
    check(code == 0, f"the running instance ended with code {code}")
    check(not marker.exists(), "the marker is left after the close")
    session.children.clear()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True, type=Path)
    parser.add_argument("--service", required=True, type=Path)
    parser.add_argument("--snd", required=True, type=Path)
    options = parser.parse_args()
    options.program = options.program.resolve()

    work = Path(tempfile.mkdtemp(prefix="skyvigil-race-"))
    session = Session()
    try:
        run(options, work, session)
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        session.stop_all()
        shutil.rmtree(work, ignore_errors=True)
    print(f"racing starts test passed: 1 of {STARTS} runs, {STARTS - 1} alerts ended with code 0")
    return 0


if __name__ == "__main__":
    sys.exit(main())
