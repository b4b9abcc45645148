"""The texts a user should meet, built from the weather service's own answers by
the application's documented formatting rules (written here independently of the
program's code): report lines, city list lines and forecast lines."""

import datetime
import struct

UNIT_NAMES = ["fahrenheit", "Celcius", "Both (Celcius first)", "Both (fahrenheit first)"]


def int_text(value):
    return str(int(value))


def whole(value):
    """Nearest integer, ties to the even neighbour, no negative zero."""
    return int(round(value)) + 0


def real_text(value):
    if value == 0:
        value = 0.0
    text = f"{value:.10f}"
    if text.endswith("0"):
        text = text.rstrip("0").rstrip(".")
    return text


def fixed_text(value, places=2):
    if value == 0:
        value = 0.0
    return f"{value:.{places}f}"


def single(value):
    """A value stored in single precision and widened back to double."""
    return struct.unpack("<f", struct.pack("<f", value))[0]


def temperature_text(f, c, unit):
    f, c = whole(f), whole(c)
    return {0: f"{f} degrees F", 1: f"{c} Degrees C", 2: f"{c} degrees C ({f} degrees F)",
            3: f"{f} degrees F ({c} degrees C)"}.get(unit, "")


def air_quality_category(n):
    for top, words in ((50, "Good"), (100, "Moderate"), (150, "Unhealthy for sensitive groups"),
                       (200, "Unhealthy"), (300, "Very Unhealthy")):
        if 0 <= n <= top:
            return f"({words})"
    return "(Hazardous)"


def stored_name(location):
    return f"{location['name']}, {location['region']}, {location['country']}"


def short_name(name):
    return name.split(", ", 1)[0]


def city_line(name, current, unit):
    return (f"{short_name(name)}: {current['condition']['text']}, "
            f"{temperature_text(current['temp_f'], current['temp_c'], unit)}")


def report_lines(answer, unit):
    """The seventeen lines of the current report for a current.json answer."""
    cur = answer["current"]
    aq = cur.get("air_quality", {})

    def pollutant(label, member):
        value = single(aq.get(member, 0.0))
        return f"{label}: {fixed_text(value)} {air_quality_category(whole(value))}"

    return [
        "Last updated: " + cur["last_updated"],
        cur["condition"]["text"],
        "Temperature: " + temperature_text(cur["temp_f"], cur["temp_c"], unit),
        "Feels like: " + temperature_text(cur["feelslike_f"], cur["feelslike_c"], unit),
        "Humidity: " + int_text(cur["humidity"]) + "%",
        f"Wind: {cur['wind_dir']} at {real_text(cur['wind_mph'])} Miles Per Hour"
        f" ({real_text(cur['wind_kph'])} Kilometers Per Hour) with gusts of"
        f" {real_text(cur['gust_mph'])} Miles Per Hour ({real_text(cur['gust_kph'])}"
        " Kilometers per Hour)",
        f"Pressure: {real_text(cur['pressure_in'])} in ({real_text(cur['pressure_mb'])} mb)",
        "UV index: " + real_text(cur["uv"]),
        "Air Quality",
        "EPA index: " + int_text(aq.get("us-epa-index", 0)),
        "DEFRA index: " + int_text(aq.get("gb-defra-index", 0)),
        pollutant("Carbon Monoxide (Co)", "co"),
        pollutant("Ozone (O3)", "o3"),
        pollutant("Nitrogen dioxide (no2)", "no2"),
        pollutant("Sulphur dioxide (so2)", "so2"),
        pollutant("pm2.5", "pm2_5"),
        pollutant("pm10", "pm10"),
    ]


WEEKDAYS = ["Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"]
MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August",
          "September", "October", "November", "December"]


def day_label(date_text, today):
    """Today / Tomorrow by day of the year against the local date, else the week
    day, month and day."""
    date = datetime.date.fromisoformat(date_text)
    d, t = date.timetuple().tm_yday, today.timetuple().tm_yday
    if d == t:
        return "Today"
    if d == t + 1:
        return "Tomorrow"
    weekday = WEEKDAYS[(date.weekday() + 1) % 7]
    return f"{weekday}, {MONTHS[date.month - 1]} {date.day}"


def alert_lines(alert):
    lines = [f"{alert['event']} {alert.get('msgType', alert.get('msgtype', ''))}",
             alert["headline"]]
    if alert["severity"]:
        lines.append("Severity: " + alert["severity"])
    if alert["urgency"]:
        lines.append("Urgency: " + alert["urgency"])
    lines.append("Effective " + alert["effective"])
    lines.append("Expires " + alert["expires"])
    if alert["note"]:
        lines.append("Note: " + alert["note"])
    lines.append("Description: " + alert["desc"])
    lines.append("Areas affected: " + alert["areas"])
    if alert["category"]:
        lines.append("Category: " + alert["category"])
    if alert["certainty"]:
        lines.append("Certainty: " + alert["certainty"])
    return lines


def day_lines(entry, unit, today):
    day, astro = entry["day"], entry["astro"]
    lines = [day_label(entry["date"], today), day["condition"]["text"],
             "High of " + temperature_text(day["maxtemp_f"], day["maxtemp_c"], unit)
             + ", low of " + temperature_text(day["mintemp_f"], day["mintemp_c"], unit),
             "Average of " + temperature_text(day["avgtemp_f"], day["avgtemp_c"], unit)]
    if day["daily_will_it_rain"] == 1:
        lines.append(f"Chance of rain: {int_text(day['daily_chance_of_rain'])}%")
    if day["daily_will_it_snow"] == 1:
        lines.append(f"Chance of snow: {int_text(day['daily_chance_of_snow'])}%")
    lines += [
        f"Winds: {real_text(day['maxwind_mph'])} Miles Per Hour"
        f" ({real_text(day['maxwind_kph'])} Kilometers per Hour)",
        f"Visibility: {real_text(day['avgvis_miles'])} Miles ({real_text(day['avgvis_km'])}"
        " Kilometers)",
        f"Precipitation: {real_text(day['totalprecip_in'])} Inches"
        f" ({real_text(day['totalprecip_mm'])} MM)",
        f"Humidity: {int_text(day['avghumidity'])}%",
        "UV: " + real_text(day["uv"]),
        "Sunrise: " + astro["sunrise"],
        "Sunset: " + astro["sunset"],
        "Moonrise: " + astro["moonrise"],
        "Moon phase: " + astro["moon_phase"],
        "Moonset: " + astro["moonset"],
    ]
    return lines


def forecast_lines(answer, unit, today):
    """The forecast window's list for a forecast.json answer with alerts."""
    lines = []
    alerts = answer.get("alerts", {}).get("alert", [])
    for index, alert in enumerate(alerts):
        lines += alert_lines(alert)
        if index + 1 < len(alerts):
            lines.append(",")
    days = answer["forecast"]["forecastday"]
    for index, entry in enumerate(days):
        lines += day_lines(entry, unit, today)
        if index + 1 < len(days):
            lines.append("...")
    return lines


def alert_speech(name, alert):
    severity = alert["severity"] + " " if alert["severity"] else ""
    return f"{name}: {severity}{alert['event']}. View the forecast For more."


def hour_label(time_text):
    hour = int(time_text.split(" ")[1].split(":")[0])
    return f"{12 if hour % 12 == 0 else hour % 12} {'AM' if hour < 12 else 'PM'}"


def next_hour_lines(answer, unit):
    """The Next Hours window: 24 hours from the hour of the city's own clock."""
    date, clock = answer["location"]["localtime"].split(" ")
    start = f"{date} {int(clock.split(':')[0]):02d}:00"
    hours = [h for day in answer["forecast"]["forecastday"] for h in day["hour"]
             if h["time"] >= start][:24]
    lines = []
    for h in hours:
        snow = h["chance_of_snow"] > h["chance_of_rain"]
        chance = h["chance_of_snow"] if snow else h["chance_of_rain"]
        lines.append(f"{hour_label(h['time'])}: {h['condition']['text']}, "
                     f"{temperature_text(h['temp_f'], h['temp_c'], unit)}, {chance} percent "
                     f"chance of {'snow' if snow else 'rain'}")
    return lines
