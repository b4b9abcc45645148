// Writes and removes the autostart entry.
#include "platform/linux/autostart.h"

#include <cstdlib>
#include <system_error>

#include "ports/files.h"

namespace skyvigil {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Exec= arguments: quoted, with the characters the desktop entry format reserves escaped.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\')
      out += "\\\\";
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::filesystem::path AutostartFile(const std::string& config_home, const std::string& home) {
  std::filesystem::path config;
  if (!config_home.empty() && std::filesystem::path(config_home).is_absolute())
    config = config_home;
  else if (!home.empty())
    config = std::filesystem::path(home) / ".config";
  else
    return {};
  return config / "autostart" / "skyvigil.desktop";
}

std::string AutostartEntry(const std::filesystem::path& program,
                           const std::filesystem::path& folder) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Skyvigil\n"
         "Comment=Weather monitor for screen-reader users\n"
         "Exec=" +
         Quoted(program.string()) +
         "\n"
         "Path=" +
         folder.string() +
         "\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

Autostart Autostart::ForThisProgram() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  std::filesystem::path folder = std::filesystem::current_path(error);
  return Autostart(AutostartFile(Environment("XDG_CONFIG_HOME"), Environment("HOME")),
                   std::move(program), std::move(folder));
}

bool Autostart::Enabled() const {
  std::error_code error;
  return !file_.empty() && std::filesystem::is_regular_file(file_, error);
}

bool Autostart::Set(bool on) {
  if (file_.empty() || program_.empty())
    return false;
  std::error_code error;
  if (!on) {
    std::filesystem::remove(file_, error);
    return !error;
  }
  std::filesystem::create_directories(file_.parent_path(), error);
  return WriteFileAtomically(file_, AutostartEntry(program_, folder_));
}

}  // namespace skyvigil
