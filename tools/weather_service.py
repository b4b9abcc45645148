#!/usr/bin/python3
"""Local stand-in for the weather service and the update server, for tests and the demo.

Serves POST (or GET) /v1/current.json, /v1/forecast.json and /v1/search.json with
answers shaped like the public service, GET /projects/skyvigilversion.txt and
GET /softs/Skyvigil.zip and its signature /softs/Skyvigil.zip.minisig, plus a JSON control interface under /admin/ that tests use
to add delays, script the weather, set alerts and inject faults.

Usage: weather_service.py [--host 127.0.0.1] [--port 0] [--key KEY] [--data DIR]
                          [--version-text 0.36] [--watch-stdin]
The first line on stdout is "PORT <n>".

Control interface (JSON bodies, answers {"ok": true} or {"error": "..."}):
  POST /admin/reset                    everything back to the start state, log emptied
  POST /admin/delay    {"ms": 100}     wait this long before every answer
  POST /admin/weather  {"place": "London", "current": {...}, "location": {...}}
                                       members merged (recursively) into the place's answers
  POST /admin/alerts   {"place": "Paris", "alerts": [{...}, ...]}
  POST /admin/hours    {"place": "London", "hours": [{"from_now": 1, "will_it_rain": 1, ...}]}
                       members merged into the forecast hour that many hours after the
                       place's current hour (0: the current hour); replaces earlier ones
  POST /admin/fault    {"kind": K, "count": 1, "permanent": false, "path": null, ...}
        K = non_json | truncated | oversize {"size", "length"} | drip {"interval_ms"}
          | redirect {"location", "status"} | close | hang {"seconds"}
          | raw {"status", "body", "content_type"}
        The fault hits the next `count` requests (to `path` only, when given), or
        every such request when `permanent` is true.
  POST /admin/version  {"text": "0.37"}
  POST /admin/archive  {"base64": "..."} or {"text": "..."}
  POST /admin/signature {"text": "..."} (a minisign signature), or {"text": null}: 404
  POST /admin/clock    {"epoch": 1720512000} or {"epoch": null} for the real clock
  POST /admin/keys     {"accept": ["k1", ...], "refuse": {"k2": 2007, ...}}
                       keys accepted besides the built-in ones, and keys answered with the
                       service's error of that code (1002, 2006, 2007, 2008); any other key
                       is refused with 2006
  GET  /admin/log      every request received, in order:
                       [{"method", "path", "query", "headers": [[name, value]...], "body", "form",
                         "received", "finished"}]
                       received and finished are epoch seconds: when the request was read and
                       when its answer was fully sent or the client hung up (null until then)
  POST /admin/log/clear
"""

import argparse
import base64
import copy
import datetime
import io
import json
import math
import os
import select
import socket
import sys
import threading
import time
import urllib.parse
import zipfile
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path

try:
    from zoneinfo import ZoneInfo
except ImportError:  # pragma: no cover - Python older than 3.9
    ZoneInfo = None

DEFAULT_KEY = "0f1e2d3c4b5a69788796a5b4c3d2e1f"
# The key the demo and the desktop tests write into prefs.ini as the user's own.
LOCAL_KEY = "5ca1ab1e0ddba11c0ffee0005eed0001"
DEFAULT_VERSION = "0.36"
DEFAULT_DATA = Path(__file__).resolve().parent.parent / "tests" / "data" / "service"
MAX_DAYS = 14

ERROR_NO_KEY = (401, 1002, "API key is invalid or not provided.")
ERROR_BAD_KEY = (401, 2006, "API key is invalid.")
ERROR_NO_QUERY = (400, 1003, "Parameter q is missing.")
ERROR_BAD_URL = (400, 1005, "API request url is invalid.")
ERROR_NO_PLACE = (400, 1006, "No matching location found.")
KEY_ERRORS = {
    1002: ERROR_NO_KEY,
    2006: ERROR_BAD_KEY,
    2007: (403, 2007, "API key has exceeded calls per month quota."),
    2008: (403, 2008, "API key has been disabled."),
}


def normalise(text):
    """Lower case, blanks collapsed, blanks around commas removed."""
    parts = [" ".join(part.split()) for part in text.split(",")]
    return ",".join(parts).casefold()


def merge(target, changes):
    """Merges `changes` into `target` recursively; other values replace."""
    for name, value in changes.items():
        if isinstance(value, dict) and isinstance(target.get(name), dict):
            merge(target[name], value)
        else:
            target[name] = copy.deepcopy(value)


def default_archive():
    """A small, byte-for-byte reproducible zip archive."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        info = zipfile.ZipInfo("Skyvigil/readme.txt", date_time=(2024, 7, 1, 12, 0, 0))
        archive.writestr(info, "Skyvigil update package for tests.\r\n")
    return buffer.getvalue()


class Place:
    def __init__(self, entry, document):
        self.id = entry["id"]
        self.url = entry["url"]
        self.postcodes = entry.get("postcodes", [])
        self.document = document
        loc = document["location"]
        self.name, self.region, self.country = loc["name"], loc["region"], loc["country"]
        self.keys = {
            normalise(self.name),
            normalise(f"{self.name}, {self.region}"),
            normalise(f"{self.name}, {self.country}"),
            normalise(f"{self.name}, {self.region}, {self.country}"),
            normalise(f"{loc['lat']},{loc['lon']}"),
            f"id:{self.id}",
        }
        self.postcode_keys = {"".join(code.split()).casefold() for code in self.postcodes}

    def matches(self, query):
        return (normalise(query) in self.keys
                or "".join(query.split()).casefold() in self.postcode_keys)

    def search_entry(self):
        loc = self.document["location"]
        return {"id": self.id, "name": self.name, "region": self.region, "country": self.country,
                "lat": loc["lat"], "lon": loc["lon"], "url": self.url}


def load_places(folder):
    entries = json.loads((folder / "places.json").read_text(encoding="utf-8"))
    return [Place(entry, json.loads((folder / entry["file"]).read_text(encoding="utf-8")))
            for entry in entries]


class State:
    """Everything the control interface can change; guarded by `lock`."""

    def __init__(self, places, key, version):
        self.lock = threading.Lock()
        self.places = places
        self.key = key
        self.initial_version = version
        self.reset()

    def reset(self):
        self.delay_ms = 0
        self.weather = {}  # place id -> {"current": {...}, "location": {...}}
        self.alerts = {}  # place id -> [alert, ...]
        self.hours = {}  # place id -> [{"from_now": n, members...}, ...]
        self.faults = []  # [{"kind", "path", "left" (None: permanent), ...}]
        self.version = self.initial_version.encode("utf-8")
        self.archive = default_archive()
        self.signature = None  # the archive's .minisig; none until a test gives one
        self.clock = None
        self.log = []
        self.accepted = {self.key, LOCAL_KEY}
        self.refused = {}  # key -> error of KEY_ERRORS

    def now(self):
        return self.clock if self.clock is not None else time.time()

    def find_place(self, query):
        for place in self.places:
            if place.matches(query):
                return place
        return None

    def take_fault(self, path):
        for fault in self.faults:
            if fault["path"] is not None and fault["path"] != path:
                continue
            if fault["left"] is not None:
                fault["left"] -= 1
                if fault["left"] <= 0:
                    self.faults.remove(fault)
            return dict(fault)
        return None


def local_time(epoch, tz_id):
    zone = datetime.timezone.utc
    if ZoneInfo is not None:
        try:
            zone = ZoneInfo(tz_id)
        except Exception:  # no time-zone data installed: UTC
            pass
    return datetime.datetime.fromtimestamp(epoch, zone)


def location_block(place, state, now):
    block = copy.deepcopy(place.document["location"])
    block["localtime_epoch"] = int(now)
    moment = local_time(int(now), block["tz_id"])
    block["localtime"] = f"{moment:%Y-%m-%d} {moment.hour}:{moment.minute:02d}"
    merge(block, state.weather.get(place.id, {}).get("location", {}))
    return block


def current_block(place, state, now, with_aqi):
    block = copy.deepcopy(place.document["current"])
    updated = int(now) - int(now) % 900  # observations every quarter hour
    block["last_updated_epoch"] = updated
    block["last_updated"] = f"{local_time(updated, place.document['location']['tz_id']):%Y-%m-%d %H:%M}"
    merge(block, state.weather.get(place.id, {}).get("current", {}))
    if not with_aqi:
        block.pop("air_quality", None)
    return block


def hour_entries(day, date, zone):
    """Twenty-four hours shaped like the service's, drawn from the day's figures:
    coolest at 5 AM, warmest at 3 PM, rain or snow from 1 PM to 6 PM on a wet day."""
    figures = day["day"]
    wet = range(13, 19)
    rain = figures.get("daily_will_it_rain", 0) == 1
    snow = figures.get("daily_will_it_snow", 0) == 1
    per_hour = round(figures.get("totalprecip_mm", 0.0) / len(wet), 2) if rain or snow else 0.0
    low_c, high_c = figures["mintemp_c"], figures["maxtemp_c"]
    hours = []
    for hour in range(24):
        # A cosine from the low at 5:00 to the high at 15:00 and back.
        phase = math.cos(math.pi * (hour - 15) / 10) if 5 <= hour <= 25 else -1.0
        temp_c = round(low_c + (high_c - low_c) * (phase + 1) / 2, 1)
        is_wet = hour in wet
        text = figures["condition"]["text"] if is_wet or not (rain or snow) else "Overcast"
        moment = datetime.datetime(date.year, date.month, date.day, hour, tzinfo=zone)
        hours.append({
            "time_epoch": int(moment.timestamp()),
            "time": f"{date.isoformat()} {hour:02d}:00",
            "temp_c": temp_c,
            "temp_f": round(temp_c * 9 / 5 + 32, 1),
            "is_day": 1 if 6 <= hour < 21 else 0,
            "condition": {"text": text, "icon": figures["condition"].get("icon", ""),
                          "code": figures["condition"].get("code", 1000)},
            "will_it_rain": 1 if rain and is_wet else 0,
            "chance_of_rain": figures.get("daily_chance_of_rain", 0) if is_wet
            else figures.get("daily_chance_of_rain", 0) // 5,
            "will_it_snow": 1 if snow and is_wet else 0,
            "chance_of_snow": figures.get("daily_chance_of_snow", 0) if is_wet
            else figures.get("daily_chance_of_snow", 0) // 5,
            "precip_mm": per_hour if is_wet else 0.0,
            "gust_mph": round(figures.get("maxwind_mph", 0.0) * (1.2 + 0.3 * phase), 1),
            "uv": round(max(0.0, figures.get("uv", 0.0) * phase), 1),
        })
    return hours


def forecast_days(place, state, now, days):
    templates = place.document["forecast"]["forecastday"]
    moment = local_time(int(now), place.document["location"]["tz_id"])
    today = moment.date()
    result = []
    for index in range(days):
        entry = copy.deepcopy(templates[index % len(templates)])
        date = today + datetime.timedelta(days=index)
        entry["date"] = date.isoformat()
        midnight = datetime.datetime(date.year, date.month, date.day, tzinfo=datetime.timezone.utc)
        entry["date_epoch"] = int(midnight.timestamp())
        entry["hour"] = hour_entries(entry, date, moment.tzinfo)
        result.append(entry)
    # Scripted hours count from the place's current hour.
    for change in state.hours.get(place.id, []):
        at = moment.hour + int(change["from_now"])
        if 0 <= at < 24 * len(result):
            members = {name: value for name, value in change.items() if name != "from_now"}
            merge(result[at // 24]["hour"][at % 24], members)
    return result


def error_answer(error):
    status, code, message = error
    return status, {"error": {"code": code, "message": message}}


def weather_answer(state, path, form):
    """(status, JSON value) for one of the three weather requests."""
    key = form.get("key", [None])[-1]
    if not key:
        return error_answer(ERROR_NO_KEY)
    if key in state.refused:
        return error_answer(state.refused[key])
    if key not in state.accepted:
        return error_answer(ERROR_BAD_KEY)
    query = form.get("q", [""])[-1].strip()
    if not query:
        return error_answer(ERROR_NO_QUERY)
    now = state.now()

    if path == "/v1/search.json":
        needle = normalise(query)
        found = [place.search_entry() for place in state.places
                 if needle in normalise(f"{place.name}, {place.region}, {place.country}")
                 or place.matches(query)]
        return 200, found

    place = state.find_place(query)
    if place is None:
        return error_answer(ERROR_NO_PLACE)
    with_aqi = form.get("aqi", ["no"])[-1].lower() == "yes"
    answer = {"location": location_block(place, state, now),
              "current": current_block(place, state, now, with_aqi)}
    if path == "/v1/current.json":
        return 200, answer

    try:
        days = int(form.get("days", ["1"])[-1])
    except ValueError:
        days = 1
    days = min(max(days, 1), MAX_DAYS)
    answer["forecast"] = {"forecastday": forecast_days(place, state, now, days)}
    if form.get("alerts", ["no"])[-1].lower() == "yes":
        alerts = state.alerts.get(place.id, place.document["alerts"]["alert"])
        answer["alerts"] = {"alert": copy.deepcopy(alerts)}
    return 200, answer


WEATHER_PATHS = {"/v1/current.json", "/v1/forecast.json", "/v1/search.json"}
VERSION_PATH = "/projects/skyvigilversion.txt"
ARCHIVE_PATH = "/softs/Skyvigil.zip"
SIGNATURE_PATH = ARCHIVE_PATH + ".minisig"


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    disable_nagle_algorithm = True
    server_version = "WeatherService/1.0"
    sys_version = ""

    def log_message(self, format, *args):  # quiet: the test log is /admin/log
        pass

    def do_GET(self):
        self.dispatch()

    def do_POST(self):
        self.dispatch()

    # -- plumbing -------------------------------------------------------------

    def read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def send_bytes(self, status, body, content_type):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_json(self, status, value):
        body = json.dumps(value, ensure_ascii=False, separators=(",", ":")).encode("utf-8")
        self.send_bytes(status, body, "application/json")

    def write_quietly(self, data):
        """Writes `data`; False once the client has gone."""
        try:
            self.wfile.write(data)
            self.wfile.flush()
            return True
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True
            return False

    # -- requests -------------------------------------------------------------

    def dispatch(self):
        server_state = self.server.state
        parts = urllib.parse.urlsplit(self.path)
        path = parts.path
        body = self.read_body()
        if path.startswith("/admin/"):
            self.admin(server_state, path, body)
            return

        text = body.decode("utf-8", "replace")
        form = urllib.parse.parse_qs(parts.query, keep_blank_values=True)
        if self.command == "POST":
            for name, values in urllib.parse.parse_qs(text, keep_blank_values=True).items():
                form.setdefault(name, []).extend(values)
        entry = {
            "method": self.command, "path": path, "query": parts.query,
            "headers": [[name, value] for name, value in self.headers.items()],
            "body": text, "form": form, "received": time.time(), "finished": None,
        }
        with server_state.lock:
            server_state.log.append(entry)
            delay = server_state.delay_ms
            fault = server_state.take_fault(path)
        if delay > 0:
            time.sleep(delay / 1000.0)

        status, payload, content_type = self.answer(server_state, path, form)
        try:
            if fault is None:
                self.send_bytes(status, payload, content_type)
            else:
                self.apply_fault(fault, status, payload, content_type)
        finally:
            with server_state.lock:
                entry["finished"] = time.time()

    def answer(self, state, path, form):
        with state.lock:
            if path in WEATHER_PATHS:
                status, value = weather_answer(state, path, form)
                body = json.dumps(value, ensure_ascii=False, separators=(",", ":"))
                return status, body.encode("utf-8"), "application/json"
            if path.startswith("/v1/"):
                status, value = error_answer(ERROR_BAD_URL)
                return status, json.dumps(value).encode("utf-8"), "application/json"
            if path == VERSION_PATH:
                return 200, state.version, "text/plain"
            if path == ARCHIVE_PATH:
                return 200, state.archive, "application/zip"
            if path == SIGNATURE_PATH and state.signature is not None:
                return 200, state.signature, "text/plain"
        return 404, b"<html><body><h1>404 Not Found</h1></body></html>", "text/html"

    def apply_fault(self, fault, status, payload, content_type):
        kind = fault["kind"]
        if kind == "non_json":
            body = b"<html><head><title>502 Bad Gateway</title></head><body>Bad Gateway</body></html>"
            self.send_bytes(fault.get("status", 200), body, "text/html")
        elif kind == "raw":
            self.send_bytes(fault.get("status", 200), fault.get("body", "").encode("utf-8"),
                            fault.get("content_type", "application/json"))
        elif kind == "truncated":
            self.close_connection = True
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(payload)))
            self.end_headers()
            self.write_quietly(payload[: len(payload) // 2])
        elif kind == "oversize":
            self.send_oversize(fault)
        elif kind == "drip":
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(payload)))
            self.end_headers()
            interval = fault.get("interval_ms", 1000) / 1000.0
            for index in range(len(payload)):
                if not self.write_quietly(payload[index:index + 1]):
                    return
                if self.client_hung_up(interval):
                    self.close_connection = True
                    return
        elif kind == "redirect":
            self.send_response(fault.get("status", 307))
            self.send_header("Location", fault["location"])
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif kind == "close":
            self.close_connection = True
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
        elif kind == "hang":
            self.close_connection = True
            self.wait_for_hangup(fault.get("seconds", 3600))
        else:
            self.send_bytes(status, payload, content_type)

    def send_oversize(self, fault):
        """A valid JSON answer padded with blanks to `size` bytes (9 MiB unless told)."""
        size = int(fault.get("size", 9 << 20))
        head = json.dumps({"location": {"name": "Oversize"},
                           "current": {"temp_f": 99.5, "condition": {"text": "Oversize"}}}).encode()
        with_length = fault.get("length", True)
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        if with_length:
            self.send_header("Content-Length", str(size))
        else:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        if not self.write_quietly(head):
            return
        left = size - len(head)
        block = b" " * 65536
        while left > 0:
            piece = block[: min(left, len(block))]
            if not self.write_quietly(piece):
                return
            left -= len(piece)

    def client_hung_up(self, seconds):
        """Waits `seconds`; True as soon as the client closes its end."""
        end = time.monotonic() + seconds
        while True:
            left = end - time.monotonic()
            if left <= 0:
                return False
            readable, _, _ = select.select([self.connection], [], [], min(left, 0.2))
            if readable:
                try:
                    if not self.connection.recv(1, socket.MSG_PEEK):
                        return True
                except OSError:
                    return True
                time.sleep(0.05)

    def wait_for_hangup(self, seconds):
        """Keeps the connection open without answering until the client gives up."""
        self.client_hung_up(seconds)

    # -- control interface ----------------------------------------------------

    def admin(self, state, path, body):
        try:
            request = json.loads(body.decode("utf-8")) if body else {}
        except ValueError:
            self.send_json(400, {"error": "body is not JSON"})
            return
        try:
            with state.lock:
                result = self.admin_command(state, path, request)
        except (KeyError, TypeError, ValueError) as problem:
            self.send_json(400, {"error": f"bad request: {problem!r}"})
            return
        if result is None:
            self.send_json(404, {"error": f"unknown control path {path}"})
        else:
            self.send_json(200, result)

    def admin_command(self, state, path, request):
        if path == "/admin/log" and self.command == "GET":
            return list(state.log)
        if self.command != "POST":
            return None
        if path == "/admin/log/clear":
            state.log = []
        elif path == "/admin/reset":
            state.reset()
        elif path == "/admin/delay":
            state.delay_ms = max(0, int(request["ms"]))
        elif path == "/admin/clock":
            epoch = request.get("epoch")
            state.clock = None if epoch is None else float(epoch)
        elif path == "/admin/keys":
            for key, code in request.get("refuse", {}).items():
                if int(code) not in KEY_ERRORS:
                    raise ValueError(f"unknown key error {code!r}")
                state.refused[key] = KEY_ERRORS[int(code)]
                state.accepted.discard(key)
            for key in request.get("accept", []):
                state.accepted.add(key)
                state.refused.pop(key, None)
        elif path == "/admin/version":
            state.version = request["text"].encode("utf-8")
        elif path == "/admin/archive":
            if "base64" in request:
                state.archive = base64.b64decode(request["base64"])
            else:
                state.archive = request["text"].encode("utf-8")
        elif path == "/admin/signature":
            text = request["text"]
            state.signature = None if text is None else text.encode("utf-8")
        elif path in ("/admin/weather", "/admin/alerts", "/admin/hours"):
            place = state.find_place(request["place"])
            if place is None:
                raise ValueError(f"unknown place {request['place']!r}")
            if path == "/admin/alerts":
                state.alerts[place.id] = list(request["alerts"])
            elif path == "/admin/hours":
                state.hours[place.id] = [dict(change) for change in request["hours"]]
            else:
                script = state.weather.setdefault(place.id, {})
                for part in ("current", "location"):
                    merge(script.setdefault(part, {}), request.get(part, {}))
        elif path == "/admin/fault":
            kinds = {"non_json", "truncated", "oversize", "drip", "redirect", "close", "hang", "raw"}
            if request["kind"] not in kinds:
                raise ValueError(f"unknown fault {request['kind']!r}")
            if request["kind"] == "redirect" and "location" not in request:
                raise ValueError("a redirect needs a location")
            fault = dict(request)
            fault["path"] = request.get("path")
            fault["left"] = None if request.get("permanent") else int(request.get("count", 1))
            state.faults.append(fault)
        else:
            return None
        return {"ok": True}


class Server(ThreadingHTTPServer):
    request_queue_size = 128
    daemon_threads = True
    allow_reuse_address = True


def watch_stdin():
    """Ends the process when stdin closes, i.e. when the program that started us is gone."""
    while True:
        try:
            data = os.read(sys.stdin.fileno(), 4096)
        except OSError:
            data = b""
        if not data:
            os._exit(0)


def main(argv):
    parser = argparse.ArgumentParser(description="Local weather service and update server.")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--key", default=DEFAULT_KEY, help="the accepted service key")
    parser.add_argument("--data", type=Path, default=DEFAULT_DATA, help="folder of place files")
    parser.add_argument("--version-text", default=DEFAULT_VERSION)
    parser.add_argument("--watch-stdin", action="store_true",
                        help="exit when stdin reaches end of file")
    options = parser.parse_args(argv)

    server = Server((options.host, options.port), Handler)
    server.state = State(load_places(options.data), options.key, options.version_text)
    print(f"PORT {server.server_address[1]}", flush=True)
    if options.watch_stdin:
        threading.Thread(target=watch_stdin, daemon=True).start()
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main(sys.argv[1:])
