"""Test bed of the desktop tests: a window manager and a system tray on the virtual
display, the private recording speech-dispatcher, the local weather service, and
runs of the real program in fresh working folders; plus the helpers the smaller
desktop tests share.

Every process started here runs in its own process group and is ended by stop(),
also when a test fails; the weather service also ends when our stdin-side pipe
closes, and the speech server when its last client has been gone a while.
"""

import argparse
import atexit
import json
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse
import urllib.request
import zlib
from pathlib import Path

TITLE = "Skyvigil 0.36, build 23"
# The key every run's prefs.ini gives as the user's own, so no key dialog opens:
# the local weather service accepts it (LOCAL_KEY there).
SERVICE_KEY = "5ca1ab1e0ddba11c0ffee0005eed0001"

# Levels of the constant cue files that the cue checks use: powers of two, so a
# mixed sample tells exactly which cues sounded at that moment.
CUE_LEVELS = {"alert": 1000, "up": 2000, "down": 4000, "condition": 8000}
CUE_MS = 300


class Failure(AssertionError):
    pass


def wait_for(what, probe, timeout=10.0, interval=0.1):
    """Polls `probe` until it returns a true value; fails after `timeout` seconds
    with the last value it saw."""
    deadline = time.monotonic() + timeout
    value = None
    while True:
        try:
            value = probe()
        except Exception as problem:  # the screen may be in the middle of a change
            value = None
            last_error = problem
        else:
            last_error = None
            if value:
                return value
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error!r})" if last_error else ""
            raise Failure(f"timed out after {timeout} s waiting for {what}{detail}")
        time.sleep(interval)


def run_quietly(args, timeout=20):
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout)


def check(condition, message):
    if not condition:
        raise Failure(message)


def windows_named(name_regex):
    """Ids of the visible windows whose title matches `name_regex`."""
    return run_quietly(["xdotool", "search", "--onlyvisible", "--name", name_regex]).stdout.split()


def other_orcas():
    """Orca processes of this user, as Orca itself counts them before it starts."""
    return run_quietly(["pgrep", "-u", str(os.getuid()), "-x", "orca"]).stdout.split()


def start_window_manager(start):
    """Openbox, started with `start` (a Popen-like function); returns once it manages."""
    start(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def managed():
        result = run_quietly(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"])
        return "window id" in result.stdout

    wait_for("the window manager", managed)


def start_weather_service(start, script):
    """The local weather service, started with `start`, ending when our end of its
    stdin closes; returns the process and its port."""
    service = start(["/usr/bin/python3", str(script), "--port", "0", "--watch-stdin"],
                    stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    match = re.fullmatch(r"PORT (\d+)\n", service.stdout.readline())
    if not match:
        raise Failure("the weather service did not report its port")
    return service, int(match.group(1))


class Processes:
    """Processes the bed started, each leading its own process group."""

    def __init__(self):
        self.started = []

    def start(self, args, **kwargs):
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        kwargs.setdefault("stderr", subprocess.DEVNULL)
        process = subprocess.Popen(args, start_new_session=True, **kwargs)
        self.started.append(process)
        return process

    @staticmethod
    def end(process, grace=3.0):
        """SIGTERM to the process group, SIGKILL after `grace` seconds (at once
        when `grace` is 0)."""
        steps = ((signal.SIGTERM, grace),) if grace > 0 else ()
        for sig, wait in steps + ((signal.SIGKILL, 5.0),):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, sig)
                except ProcessLookupError:
                    pass
                try:
                    process.wait(timeout=wait)
                except subprocess.TimeoutExpired:
                    continue
            # Whatever the group leader left behind in its group goes too.
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
            return

    def stop_all(self):
        for process in reversed(self.started):
            self.end(process)
        self.started = []


def write_level_wav(path, level, milliseconds):
    """A 16-bit 44.1 kHz mono WAV file holding one constant sample value."""
    frames = 44100 * milliseconds // 1000
    data = struct.pack("<h", level) * frames
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt "
    header += struct.pack("<IHHIIHH", 16, 1, 1, 44100, 88200, 2, 16)
    path.write_bytes(header + b"data" + struct.pack("<I", len(data)) + data)


def cue_onsets(raw_file):
    """For each cue of CUE_LEVELS, the first stereo frame of the program's mixed
    output (SDL's disk driver: signed 16-bit little endian, two channels) in which
    it sounds; cues that never sounded are absent. Fails on a sample that no sum of
    cues explains."""
    data = Path(raw_file).read_bytes()
    count = len(data) // 4
    frames = struct.unpack(f"<{count * 2}h", data[: count * 4])
    onsets = {}
    sums = {}
    for mask in range(16):
        sums[sum(level for bit, level in enumerate(CUE_LEVELS.values()) if mask >> bit & 1)] = mask
    names = list(CUE_LEVELS)
    for index in range(count):
        value = frames[2 * index]
        if value == 0:
            continue
        mask = None
        for total, candidate in sums.items():
            # Format conversion may round each cue of the mix by one.
            if abs(value - total) <= max(2, bin(candidate).count("1") + 1):
                mask = candidate
                break
        if mask is None:
            raise Failure(f"output frame {index} holds {value}, which no mix of the cues gives")
        for bit, name in enumerate(names):
            if mask >> bit & 1 and name not in onsets:
                onsets[name] = index
    return onsets


class Bed:
    def __init__(self, program, service_script, snd, speechd_script, root, speech_delay=None):
        self.program = Path(program).resolve()
        self.service_script = Path(service_script).resolve()
        self.snd = Path(snd).resolve()
        self.speechd_script = Path(speechd_script).resolve()
        self.root = Path(root)
        self.processes = Processes()
        self.speech_dir = self.root / "speechd"
        self.record = self.root / "speech.txt"
        self.speech_times = self.root / "speech.txt.times"
        # Seconds each message sounds, or "realistic" (as long as a voice takes).
        self.speech_delay = speech_delay
        self.speech_started = False
        self.port = None
        self.service = None
        self.tray = None

    # -- the session ----------------------------------------------------------

    def start(self):
        if not os.environ.get("DISPLAY") or not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            raise Failure("run inside xvfb-run and dbus-run-session")
        self.start_window_manager()
        self.start_tray()
        self.start_speech()
        self.start_service()

    def stop(self):
        if self.service is not None:
            self.service.stdin.close()
            self.service.stdout.close()
            self.service = None
        if self.speech_started:
            subprocess.run(["bash", str(self.speechd_script), "stop", str(self.speech_dir)],
                           capture_output=True, timeout=30)
            self.speech_started = False
        self.processes.stop_all()

    def start_window_manager(self):
        start_window_manager(self.processes.start)

    def start_tray(self):
        # A system tray at the bottom right that embeds the program's status icon.
        def start():
            return self.processes.start(
                ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel",
                 "--width", "160", "--heighttype", "pixel", "--height", "32", "--expand", "false"])

        self.tray = start()

        def tray_window():
            found = run_quietly(["xdotool", "search", "--onlyvisible", "--class", "trayer"])
            if not found.stdout.split() and self.tray.poll() is not None:
                self.tray = start()  # it can give up while the display is still busy
            return found.stdout.split()

        # Openbox maps it late on a busy machine (seen after 10 s, and past 30 s
        # with both cores taken by builds).
        wait_for("the system tray", tray_window, timeout=90)

    def start_speech(self):
        self.record.write_text("")
        self.speech_times.write_text("")
        env = dict(os.environ, SKYVIGIL_SPEECHD_TIMEOUT="60")
        if self.speech_delay is not None:
            env["SKYVIGIL_SPEECH_DELAY"] = str(self.speech_delay)
        result = subprocess.run(["bash", str(self.speechd_script), "start", str(self.speech_dir),
                                 str(self.record)], capture_output=True, text=True, env=env,
                                timeout=30)
        if result.returncode != 0:
            raise Failure(f"the speech server did not start: {result.stderr}")
        self.speech_started = True

    def start_service(self):
        self.service, self.port = start_weather_service(self.processes.start,
                                                        self.service_script)

    def start_orca(self, settings, timeout=30.0, queue=120.0):
        """The Orca screen reader, speaking through the recording speech server;
        returns once it said it is on. Started without --replace, which would end
        every Orca of this user on any display: Orca refuses to start beside
        another one, so this first waits up to `queue` seconds for the others
        (another test's, say) to end, and fails if one stays. stop() ends only
        the one started here."""
        settings.mkdir(parents=True, exist_ok=True)
        env = dict(os.environ, SPEECHD_ADDRESS=f"unix_socket:{self.speech_dir}/speechd.sock")
        env.pop("NO_AT_BRIDGE", None)
        deadline = time.monotonic() + queue
        while True:
            wait_for("other Orca processes of this user to end", lambda: not other_orcas(),
                     max(deadline - time.monotonic(), 0.0), interval=0.5)
            mark = self.speech_mark()
            with open(settings / "orca.log", "wb") as log:
                orca = self.processes.start(["orca", "-u", str(settings)], env=env, cwd=settings,
                                            stdout=log, stderr=subprocess.STDOUT)

            def ended_or_on():
                return orca.poll() is not None or "Screen reader on." in self.spoken_since(mark)

            wait_for("Orca to start", ended_or_on, timeout)
            if orca.poll() is None:
                # Orca says it is on before it looks for the active window and
                # starts taking events: a window that comes meanwhile is seen
                # only by its focus, not announced.
                time.sleep(2.0)
                return orca
            output = (settings / "orca.log").read_text(errors="replace").strip()
            # Another one started meanwhile: queue again.
            if "already running" in output and time.monotonic() < deadline:
                continue
            raise Failure(f"Orca ended with code {orca.returncode}: {output}")

    # -- the weather service ----------------------------------------------------

    def address(self, path=""):
        return f"http://127.0.0.1:{self.port}{path}"

    def admin(self, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.address("/admin/" + path), data=data,
                                         method="GET" if body is None else "POST")
        with urllib.request.urlopen(request, timeout=10) as answer:
            return json.loads(answer.read().decode())

    def ask_service(self, endpoint, query, **options):
        """The service's answer to one weather request, as the program gets it."""
        form = {"key": "0f1e2d3c4b5a69788796a5b4c3d2e1f", "q": query, **options}
        body = urllib.parse.urlencode(form).encode()
        with urllib.request.urlopen(self.address(f"/v1/{endpoint}.json"), data=body,
                                    timeout=10) as answer:
            return json.loads(answer.read().decode())

    # -- speech ---------------------------------------------------------------

    def speech_lines(self):
        return self.record.read_text(encoding="utf-8").splitlines()

    def speech_mark(self):
        return len(self.speech_lines())

    def end_orca(self, orca, quiet=1.5, timeout=30.0):
        """Ends Orca, then waits until the speech server has said what Orca still
        had queued ("Screen reader off.", the last window's lines), so none of it
        lands in the next test's speech."""
        self.processes.end(orca)
        count, since = self.speech_mark(), time.monotonic()
        deadline = since + timeout
        while time.monotonic() - since < quiet and time.monotonic() < deadline:
            time.sleep(0.2)
            if self.speech_mark() != count:
                count, since = self.speech_mark(), time.monotonic()

    def speech_events(self):
        """The timed log: (epoch seconds, "start", "end" or "cut", text) for each
        message that started, ended or was cut off, in order."""
        events = []
        for line in self.speech_times.read_text(encoding="utf-8").splitlines():
            at, what, text = line.split("\t", 2)
            events.append((float(at), what, text))
        return events

    def spoken_since(self, mark):
        return self.speech_lines()[mark:]

    def wait_for_speech(self, mark, expected, timeout=10.0, settle=0.6):
        """Waits until exactly `expected` has been spoken since `mark`, then makes
        sure nothing more follows within `settle` seconds."""
        expected = list(expected)
        try:
            wait_for(f"speech {expected}",
                     lambda: len(self.spoken_since(mark)) >= len(expected), timeout)
        except Failure:
            raise Failure(f"expected speech {expected}, heard {self.spoken_since(mark)}")
        time.sleep(settle)
        heard = self.spoken_since(mark)
        if heard != expected:
            raise Failure(f"expected speech {expected}, heard {heard}")

    # -- runs of the program ------------------------------------------------------

    def new_folder(self, name, cities, prefs=None, cues="repo", key=SERVICE_KEY):
        """A fresh working folder: prefs.ini pointing at the local service with
        `key` as the user's own (none when None, plus the given group lines),
        cities.json and the sound cues (the repository's, or constant-level files
        for the cue checks)."""
        folder = self.root / name
        shutil.rmtree(folder, ignore_errors=True)
        (folder / "snd").mkdir(parents=True)
        lines = ["[service]", f"base_address = {self.address('/v1')}",
                 f"update_address = {self.address()}"]
        lines += [f"api_key = {key}"] if key is not None else []
        lines += prefs or []
        (folder / "prefs.ini").write_bytes("".join(line + "\r\n" for line in lines).encode())
        (folder / "cities.json").write_text(json.dumps(cities, indent=2), encoding="utf-8")
        if cues == "levels":
            for cue, level in CUE_LEVELS.items():
                write_level_wav(folder / "snd" / f"{cue}.wav", level, CUE_MS)
        else:
            for wav in self.snd.glob("*.wav"):
                shutil.copy(wav, folder / "snd" / wav.name)
        return folder

    def launch(self, folder):
        return Run(self, folder)


class Run:
    """One run of the program in a working folder."""

    def __init__(self, bed, folder):
        self.bed = bed
        self.folder = Path(folder)
        self.audio = self.folder / "audio.raw"
        env = dict(os.environ)
        env.pop("NO_AT_BRIDGE", None)
        env["SPEECHD_ADDRESS"] = f"unix_socket:{bed.speech_dir}/speechd.sock"
        env["SDL_AUDIODRIVER"] = "disk"
        env["SDL_DISKAUDIOFILE"] = str(self.audio)
        self.log = open(self.folder / "program.log", "wb")
        self.process = bed.processes.start([str(bed.program)], cwd=self.folder, env=env,
                                           stdout=self.log, stderr=subprocess.STDOUT)
        self.pid = self.process.pid

    def running(self):
        return self.process.poll() is None

    def windows(self, name_regex=None, visible=True):
        args = ["xdotool", "search", "--all"]
        if visible:
            args.append("--onlyvisible")
        args += ["--pid", str(self.pid)]
        if name_regex is not None:
            args += ["--name", name_regex]
        return run_quietly(args).stdout.split()

    def main_window(self, visible=True):
        found = self.windows("^" + re.escape(TITLE) + "$", visible)
        return found[0] if found else None

    def map_state(self, window):
        result = run_quietly(["xwininfo", "-id", window])
        match = re.search(r"Map State: (\w+)", result.stdout)
        return match.group(1) if match else None

    def tray_icon(self):
        """The program's icon inside the system tray: a viewable window of this
        process that lies within the tray's area."""
        trays = run_quietly(["xdotool", "search", "--onlyvisible", "--class", "trayer"]).stdout
        areas = []
        for tray in trays.split():
            geometry = run_quietly(["xdotool", "getwindowgeometry", "--shell", tray]).stdout
            values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
            areas.append(tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT")))
        for window in self.windows(visible=True):
            geometry = run_quietly(["xdotool", "getwindowgeometry", "--shell", window]).stdout
            values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
            if not values:
                continue
            x, y = int(values["X"]), int(values["Y"])
            for ax, ay, aw, ah in areas:
                if ax <= x < ax + aw and ay <= y < ay + ah:
                    return window
        return None

    def click_tray_icon(self):
        icon = wait_for("the tray icon", self.tray_icon)
        subprocess.run(["xdotool", "mousemove", "--window", icon, "8", "8", "click", "1"],
                       check=True, timeout=10)
        subprocess.run(["xdotool", "mousemove", "0", "0"], timeout=10)

    def close(self, timeout=10.0):
        """The close box of the main window: the program must end with code 0."""
        window = self.main_window()
        if window is None:
            raise Failure("no visible main window to close")
        mark = self.bed.speech_mark()
        subprocess.run(["wmctrl", "-i", "-c", window], check=True, timeout=10)
        try:
            code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {timeout} s of its close box")
        if code != 0:
            raise Failure(f"the program ended with code {code}")
        # "Exiting" can reach the speech log after the process ended; waiting for
        # it keeps it out of whatever the next run hears.
        wait_for("Exiting spoken", lambda: "Exiting" in self.bed.spoken_since(mark),
                 timeout=timeout)

    def end(self):
        # SIGKILL straight away: the program saves everything as it changes, and
        # SDL's signal handlers turn SIGTERM into an event nobody reads.
        Processes.end(self.process, grace=0)
        self.log.close()

    def prefs(self):
        return (self.folder / "prefs.ini").read_bytes()

    def cities(self):
        return json.loads((self.folder / "cities.json").read_text(encoding="utf-8"))


def screenshot(path):
    """The whole virtual screen as a PNG (xwd's Z pixmap, 24 or 32 bits per pixel)."""
    data = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True).stdout
    fields = struct.unpack(">20I", data[:80])
    header, width, height, bpp, stride, colours = (fields[0], fields[4], fields[5], fields[11],
                                                   fields[12], fields[19])
    body, step = data[header + colours * 12:], bpp // 8
    rows = []
    for y in range(height):
        line = body[y * stride:y * stride + width * step]
        pixels = bytearray(width * 3)
        pixels[0::3], pixels[1::3], pixels[2::3] = line[2::step], line[1::step], line[0::step]
        rows.append(b"\0" + bytes(pixels))

    def chunk(kind, payload):
        return (struct.pack(">I", len(payload)) + kind + payload
                + struct.pack(">I", zlib.crc32(kind + payload)))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0,
                                                             0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b"")
    Path(path).write_bytes(png)


def prefs_bytes(bed, window_hidden=0, celcius=0, cities_index=0, monitor_sounds=1,
                temp_diff=10, text_size=None):
    """prefs.ini as the program writes it over a folder's starting file: the mark
    line, the service group it found, then its two groups."""
    lines = ["\ufeff", "[service]", f"base_address = {bed.address('/v1')}",
             f"update_address = {bed.address()}", f"api_key = {SERVICE_KEY}",
             "[general]", f"window_hidden = {window_hidden}", f"celcius = {celcius}",
             f"cities_index = {cities_index}",
             *([] if text_size is None else [f"text_size = {text_size}"]),
             "[monitors]", f"monitor_sounds = {monitor_sounds}", f"temp_diff = {temp_diff}"]
    return "".join(line + "\r\n" for line in lines).encode("utf-8")


def parse_options(*extra):
    """The paths every desktop suite is given (and `extra` ones), plus whatever
    is left for unittest."""
    parser = argparse.ArgumentParser(add_help=False)
    for name in ("--program", "--service", "--snd", "--speechd", *extra):
        parser.add_argument(name, required=True, type=Path)
    return parser.parse_known_args()


def run_suite(rest, title):
    """Runs the calling module's tests; ends the process with 0 when all passed."""
    # A run that is stopped (a time-out, Control+C) still ends its servers.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    started = time.monotonic()
    program = unittest.main(module="__main__", argv=[sys.argv[0], *rest], exit=False,
                            verbosity=2, warnings=False)
    print(f"{title} ran in {time.monotonic() - started:.1f} s")
    sys.exit(0 if program.result.wasSuccessful() else 1)


class BedTestCase(unittest.TestCase):
    """One test bed for a whole test class, in a fresh root folder that goes when
    the class is done (kept when SKYVIGIL_E2E_KEEP is set). `options` are the
    parsed paths; `prepare` runs after the bed stands."""

    options = None
    root_prefix = "skyvigil-e2e-"
    speech_delay = None  # see Bed

    @classmethod
    def setUpClass(cls):
        cls.root = Path(tempfile.mkdtemp(prefix=cls.root_prefix))
        options = cls.options
        cls.bed = Bed(options.program, options.service, options.snd, options.speechd, cls.root,
                      cls.speech_delay)
        atexit.register(cls.bed.stop)
        try:
            cls.bed.start()
            cls.prepare()
        except BaseException:
            cls.bed.stop()
            raise

    @classmethod
    def prepare(cls):
        pass

    @classmethod
    def tearDownClass(cls):
        cls.bed.stop()
        if not os.environ.get("SKYVIGIL_E2E_KEEP"):
            shutil.rmtree(cls.root, ignore_errors=True)
        else:
            print(f"\nworking folders kept in {cls.root}", file=sys.stderr)
