#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking and running
# Skyvigil needs. Does nothing when all of them are already present.
set -euo pipefail

packages=(
  # toolchain and build
  g++ cmake ninja-build make pkg-config clang-format clang libclang-rt-14-dev ccache
  # the Debian package: dpkg-shlibdeps finds the libraries it depends on
  dpkg-dev
  # the Windows packages: static zlib and libgcrypt for updater.exe and the
  # program, the zip and the installer
  libz-mingw-w64-dev libgcrypt-mingw-w64-dev zip nsis
  # signed updates: libgcrypt checks them, minisign makes them (and the tests' keys)
  libgcrypt20-dev minisign
  # libraries
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  libcurl4-openssl-dev libwxgtk3.2-dev libgtk-3-dev libspeechd-dev
  libsdl2-dev
  # a locale with a decimal comma, for the number formatting tests
  locales-all
  # local weather service, cue synthesis, desktop tests
  python3 tzdata openssl sox xvfb xauth openbox xdotool xclip dbus dbus-x11
  at-spi2-core python3-pyatspi speech-dispatcher wmctrl
  # screenshots of the Windows program's desktop test (xwd)
  x11-apps
  # a system tray and a screen reader for the accessibility suite
  trayer orca
  # the Windows cross build, its tests run under wine
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 googletest
  # widl, which makes the RPC stubs of NVDA's controller interface
  mingw-w64-tools
  # where the memory goes (make bench users; not run by the bench itself)
  heaptrack
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
