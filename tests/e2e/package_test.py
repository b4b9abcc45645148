#!/usr/bin/python3
"""The Debian package: its files and control fields, its desktop entry, and the
installed layout unpacked into a temporary root and started with a temporary
HOME: it makes its data folder there, refreshes, plays its cues from the
package's folder, answers its desktop entry's "Speak the Weather" action and
exits cleanly.

Run inside a display and a session bus:
  xvfb-run -a dbus-run-session -- python3 package_test.py --deb \
      skyvigil_0.36_amd64.deb --version 0.36 --service tools/weather_service.py
"""

import argparse
import configparser
import json
import shlex
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from testbed import (CUE_LEVELS, CUE_MS, Failure, Processes, check, cue_onsets,  # noqa: E402
                     SERVICE_KEY, start_weather_service, start_window_manager, wait_for, write_level_wav)

FILES = """\
./usr/bin/skyvigil
./usr/share/applications/org.skyvigil.Skyvigil.desktop
./usr/share/doc/skyvigil/changelog.gz
./usr/share/doc/skyvigil/copyright
./usr/share/icons/hicolor/scalable/apps/org.skyvigil.Skyvigil.svg
./usr/share/man/man1/skyvigil.1.gz
./usr/share/metainfo/org.skyvigil.Skyvigil.metainfo.xml
./usr/share/skyvigil/snd/alert.wav
./usr/share/skyvigil/snd/condition.wav
./usr/share/skyvigil/snd/down.wav
./usr/share/skyvigil/snd/up.wav""".split("\n")

# Libraries the program needs at run time, found by dpkg-shlibdeps, and the speech server.
DEPENDS = ["speech-dispatcher", "libwxgtk3.2-1", "libcurl4", "libsdl2-2.0-0",
           "libspeechd2"]


def check_package(deb, version):
    listing = subprocess.run(["dpkg-deb", "-c", str(deb)], check=True, capture_output=True,
                             text=True).stdout
    files = sorted(line.split()[-1] for line in listing.splitlines() if not line.startswith("d"))
    check(files == FILES, f"package files {files}")
    fields = {}
    for name in ("Package", "Version", "Architecture", "Depends", "Section"):
        fields[name] = subprocess.run(["dpkg-deb", "-f", str(deb), name], check=True,
                                      capture_output=True, text=True).stdout.strip()
    check(fields["Package"] == "skyvigil", f"Package: {fields['Package']}")
    check(fields["Version"] == version, f"Version: {fields['Version']}")
    check(fields["Architecture"] == "amd64", f"Architecture: {fields['Architecture']}")
    check(fields["Section"] == "utils", f"Section: {fields['Section']}")
    depends = [d.split()[0] for d in fields["Depends"].split(", ")]
    missing = [d for d in DEPENDS if d not in depends]
    check(not missing, f"Depends lacks {missing}: {fields['Depends']}")


def speak_action(root):
    """The command of the desktop entry's speak action, run from the unpacked
    root; the entry must pass desktop-file-validate."""
    entry = root / "usr/share/applications/org.skyvigil.Skyvigil.desktop"
    result = subprocess.run(["desktop-file-validate", str(entry)], capture_output=True, text=True)
    check(result.returncode == 0 and not result.stdout,
          f"the desktop entry is not valid: {result.stdout}")
    parsed = configparser.ConfigParser(interpolation=None)
    parsed.optionxform = str
    parsed.read(entry, encoding="utf-8")
    check(parsed["Desktop Entry"]["Actions"] == "speak;",
          f"Actions={parsed['Desktop Entry'].get('Actions')}")
    action = parsed["Desktop Action speak"]
    check(action["Name"] == "Speak the Weather", f"the action's name is {action['Name']}")
    command = shlex.split(action["Exec"])
    check(command[0] == "skyvigil", f"the action runs {command}")
    return [str(root / "usr/bin/skyvigil"), *command[1:]]


def start_installed(processes, root, home, audio):
    env = dict(os.environ, HOME=str(home), SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=str(audio),
               SPEECHD_ADDRESS="unix_socket:/nonexistent")
    env.pop("XDG_DATA_HOME", None)
    env.pop("XDG_CONFIG_HOME", None)
    # A neutral working folder: nothing the program needs may come from there.
    return processes.start([str(root / "usr/bin/skyvigil")], cwd=str(home), env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--deb", type=Path, required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--service", type=Path, required=True)
    options = parser.parse_args()

    processes = Processes()
    with tempfile.TemporaryDirectory(prefix="skyvigil-deb-") as scratch:
        scratch = Path(scratch)
        try:
            deb = options.deb
            check_package(deb, options.version)

            root = scratch / "root"
            subprocess.run(["dpkg-deb", "-x", str(deb), str(root)], check=True)
            # Cues of known levels in the package's folder, so the output tells
            # which one played and that it came from there.
            for cue, level in CUE_LEVELS.items():
                write_level_wav(root / "usr/share/skyvigil/snd" / f"{cue}.wav", level, CUE_MS)
            home = scratch / "home"
            home.mkdir()
            data = home / ".local/share/skyvigil"
            start_window_manager(processes.start)
            service, port = start_weather_service(processes.start, options.service)

            # First start: the data folder is made, and the marker lives there.
            first = start_installed(processes, root, home, scratch / "first.raw")
            wait_for("the data folder with its marker", lambda: (data / "running").exists())
            Processes.end(first, grace=0)

            # With a city whose alerts are on, the alert cue plays from the package's folder.
            base = f"http://127.0.0.1:{port}"
            (data / "prefs.ini").write_bytes(
                f"[service]\r\nbase_address = {base}/v1\r\napi_key = {SERVICE_KEY}\r\n"
                .encode())
            (data / "cities.json").write_text(json.dumps([{"name": "London", "alerts": 1}]))
            audio = scratch / "second.raw"
            second = start_installed(processes, root, home, audio)
            wait_for("the alert cue", lambda: "alert" in cue_onsets(audio), timeout=20)
            # The desktop entry's action reaches the installed program's data folder.
            env = dict(os.environ, HOME=str(home), SPEECHD_ADDRESS="unix_socket:/nonexistent")
            env.pop("XDG_DATA_HOME", None)
            asked = subprocess.run(speak_action(root), env=env, capture_output=True, text=True,
                                   timeout=30)
            check(asked.returncode == 0, f"the action ended with {asked.returncode}")
            window = wait_for("the main window", lambda: subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--pid", str(second.pid), "--name",
                 "^Skyvigil "], capture_output=True, text=True).stdout.split())
            subprocess.run(["wmctrl", "-i", "-c", window[0]], check=True, timeout=10)
            code = second.wait(timeout=15)
            check(code == 0, f"the program ended with code {code}")
            check(not (data / "running").exists(), "the marker is left behind")
            check(json.loads((data / "cities.json").read_text())[0]["name"].startswith("London,"),
                  "the refresh did not save the city in the data folder")
            check(not (home / "cities.json").exists(), "a file landed in the working folder")
            service.stdin.close()
        finally:
            processes.stop_all()
    print("package test passed")


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print(f"FAILED: {failure}")
        sys.exit(1)
