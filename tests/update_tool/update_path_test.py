#!/usr/bin/python3
"""The whole update path of the Windows program, under wine on a virtual
display: Skyvigil.exe, unpacked from the portable zip, hears of another version
from the local update server; Yes; it downloads Skyvigil.zip and ends; the copy
of updater.exe it starts puts the new build in place, a new updater.exe among
it, and starts it; the new build runs with the user's cities and settings.
Then an update cut short before Skyvigil.exe was swapped: the next start hands
it to the updater, which finishes it and starts the build it brought.

  xvfb-run -a python3 update_path_test.py --zip Skyvigil-<version>-win64.zip \
      --service tools/weather_service.py --wineprefix DIR --signing-key KEY --build N \
      [--tolk Tolk.dll]
"""

import argparse
import base64
import io
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
from testbed import (SERVICE_KEY, TITLE, Processes, check, prefs_bytes,  # noqa: E402
                     start_weather_service, start_window_manager, wait_for, windows_named)

# A Windows program still runs with bytes after its image: the new build.
NEW_BUILD_MARK = b"\0another build"


class Service:
    def __init__(self, port):
        self.port = port

    def address(self, path=""):
        return f"http://127.0.0.1:{self.port}{path}"

    def admin(self, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        with urllib.request.urlopen(self.address(path), data=data, timeout=10) as answer:
            return json.loads(answer.read())


def press(window, key):
    subprocess.run(["xdotool", "windowactivate", "--sync", window, "key", key], check=True,
                   timeout=10)


def with_new_files(archive, replaced):
    """The archive with the entries named in `replaced` given its bytes, every
    other entry as it was."""
    out = io.BytesIO()
    with zipfile.ZipFile(io.BytesIO(archive)) as old, \
            zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as new:
        for item in old.infolist():
            new.writestr(item, replaced.get(item.filename) or old.read(item))
    return out.getvalue()


def answer_update_question_no(what):
    """The server still offers 9.99: a build asks again; No, and its window shows."""
    question = wait_for(f"{what}'s update question", lambda: windows_named("^Alert$"), 90)[0]
    press(question, "n")
    return wait_for(f"{what}'s window", lambda: windows_named("^" + re.escape(TITLE) + "$"), 60)[0]


def signed(archive, options):
    """The archive's signature by the build's throw-away key, as a newer build."""
    with tempfile.TemporaryDirectory() as scratch:
        path = Path(scratch) / "Skyvigil.zip"
        path.write_bytes(archive)
        subprocess.run(["minisign", "-S", "-s", str(options.signing_key), "-m", str(path),
                        "-t", f"file:Skyvigil.zip build:{options.build}"],
                       check=True, stdout=subprocess.DEVNULL)
        return (Path(scratch) / "Skyvigil.zip.minisig").read_text()


def run(options, root, processes, env):
    start_window_manager(processes.start)
    service = Service(start_weather_service(processes.start, options.service)[1])

    folder = root / "Skyvigil"
    archive = options.zip.read_bytes()
    zipfile.ZipFile(io.BytesIO(archive)).extractall(folder)
    if options.tolk is not None:
        shutil.copy(options.tolk, folder / "Tolk.dll")
    start_prefs = f"[service]\r\nbase_address = {service.address('/v1')}\r\n" \
                  f"update_address = {service.address()}\r\napi_key = {SERVICE_KEY}\r\n"
    (folder / "prefs.ini").write_bytes(start_prefs.encode())
    (folder / "cities.json").write_text(json.dumps([
        {"name": "London", "temp": 0, "monitor": 0, "alerts": 0, "condition": ""},
        {"name": "Paris", "temp": 0, "monitor": 0, "alerts": 0, "condition": ""}]))
    new_program = (folder / "Skyvigil.exe").read_bytes() + NEW_BUILD_MARK
    new_updater = (folder / "updater.exe").read_bytes() + NEW_BUILD_MARK
    service.admin("/admin/version", {"text": "9.99"})
    offered = with_new_files(archive, {"Skyvigil.exe": new_program, "updater.exe": new_updater})
    service.admin("/admin/archive", {"base64": base64.b64encode(offered).decode()})
    service.admin("/admin/signature", {"text": signed(offered, options)})

    first = processes.start(["wine", "Skyvigil.exe"], cwd=folder, env=env)
    question = wait_for("the update question", lambda: windows_named("^Alert$"), 90)[0]
    press(question, "Return")  # Yes, the default button
    wait_for("the old build to end", lambda: first.poll() is not None, 60)
    wait_for("the new build in place",
             lambda: (folder / "Skyvigil.exe").read_bytes() == new_program, 60)
    check((folder / "updater.exe").read_bytes() == new_updater, "updater.exe was not replaced")
    check(not (folder / "Skyvigil.zip").exists(), "Skyvigil.zip was left behind")
    check(not (folder / "Skyvigil.zip.minisig").exists(), "its signature was left behind")
    check(not (folder / "update.new").exists() and not (folder / "update.old").exists(),
          "the updater left its folders")
    downloaded = len(service.admin("/admin/log"))

    window = answer_update_question_no("the new build")
    # By the names the first run saved: "London, City of London, ...".
    asked = lambda: {entry["form"]["q"][0].split(",")[0] for entry in
                     service.admin("/admin/log")[downloaded:] if entry["path"] == "/v1/current.json"}
    wait_for("the user's cities refreshed by the new build", lambda: asked() >= {"London", "Paris"},
             60)
    names = [city["name"] for city in json.loads((folder / "cities.json").read_bytes())]
    check(len(names) == 2 and names[0].startswith("London") and names[1].startswith("Paris"),
          f"cities.json holds {names}")
    check((folder / "prefs.ini").read_bytes() == prefs_bytes(service),
          "prefs.ini lost the user's settings")

    subprocess.run(["wmctrl", "-i", "-c", window], check=True, timeout=10)
    wait_for("the new build to end", lambda: not (folder / "running").exists(), 30)

    # Cut short with every file staged and backed up and the journal saved:
    # the start can't replace the Skyvigil.exe it runs from, so the updater must.
    third_program = new_program + b"\0a third build"
    (folder / "update.new").mkdir()
    (folder / "update.new" / "Skyvigil.exe").write_bytes(third_program)
    (folder / "update.new" / "CUT.txt").write_bytes(b"brought by the cut update")
    (folder / "update.old").mkdir()
    (folder / "update.old" / "Skyvigil.exe").write_bytes(new_program)
    (folder / "update.journal").write_bytes(
        b"skyvigil update journal\nforward\nreplace Skyvigil.exe\nadd CUT.txt\n")
    processes.start(["wine", "Skyvigil.exe"], cwd=folder, env=env)
    wait_for("the cut update's build in place",
             lambda: (folder / "Skyvigil.exe").read_bytes() == third_program, 60)
    window = answer_update_question_no("the cut update's build")
    check((folder / "CUT.txt").read_bytes() == b"brought by the cut update",
          "the cut update's other file is missing")
    for left in ("update.journal", "update.new", "update.old"):
        check(not (folder / left).exists(), f"{left} was left behind")
    subprocess.run(["wmctrl", "-i", "-c", window], check=True, timeout=10)
    wait_for("the cut update's build to end", lambda: not (folder / "running").exists(), 30)


def main():
    parser = argparse.ArgumentParser()
    for name in ("--zip", "--service", "--wineprefix", "--signing-key"):
        parser.add_argument(name, required=True, type=lambda p: Path(p).resolve())
    parser.add_argument("--build", required=True, type=int)
    parser.add_argument("--tolk", type=lambda p: Path(p).resolve())
    options = parser.parse_args()
    env = dict(os.environ, WINEPREFIX=str(options.wineprefix), WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
               DBUS_SESSION_BUS_ADDRESS="disabled:")
    root = Path(tempfile.mkdtemp(prefix="skyvigil-update-"))
    processes = Processes()
    started = time.monotonic()
    try:
        run(options, root, processes, env)
    finally:
        processes.stop_all()
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True, timeout=30)
        shutil.rmtree(root, ignore_errors=True)
    print(f"update path test passed in {time.monotonic() - started:.1f} s")


if __name__ == "__main__":
    main()
