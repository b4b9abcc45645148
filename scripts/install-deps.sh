#!/usr/bin/env bash
# Installs the Debian packages Skyvigil needs, in two sets:
#   install-deps.sh          building and running the Linux program, its tests'
#                            code and its Debian package (make build, deb, demo)
#   install-deps.sh --test   that, and what testing, fuzzing, benchmarking and
#                            the Windows build add (make test, bench, dist)
# Does nothing when all of them are already present.
set -euo pipefail

build=(
  # toolchain and build, with a compiler cache
  g++ cmake ninja-build make pkg-config ccache
  # libraries
  nlohmann-json3-dev libcurl4-openssl-dev libwxgtk3.2-dev libgtk-3-dev libspeechd-dev
  libsdl2-dev libgcrypt20-dev
  # the unit tests' framework: the default build compiles the tests
  libgtest-dev libgmock-dev
  # the Debian package: dpkg-shlibdeps finds the libraries it depends on
  dpkg-dev
  # running it: speech, and the local weather service of make demo
  speech-dispatcher python3 tzdata
)

test=(
  # formatting, and the fuzz build (clang with libFuzzer)
  clang-format clang libclang-rt-14-dev
  # the packages' checks
  desktop-file-utils appstream lintian
  # benchmarks, and where the memory goes (make bench users)
  libbenchmark-dev heaptrack
  # a locale with a decimal comma, for the number formatting tests
  locales-all
  # the tests' TLS service, cue synthesis, desktop tests
  openssl sox xvfb xauth openbox xdotool xclip dbus dbus-x11 at-spi2-core python3-pyatspi wmctrl
  # screenshots of the Windows program's desktop test (xwd)
  x11-apps
  # a system tray and a screen reader for the accessibility suite
  trayer orca
  # the Windows cross build (static zlib and libgcrypt for updater.exe and the
  # program; widl for the RPC stubs of NVDA's controller interface), its
  # tests under wine, its installer, and the update signatures (minisign)
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev mingw-w64-tools googletest
  libz-mingw-w64-dev libgcrypt-mingw-w64-dev nsis wine wine64 minisign
)

packages=("${build[@]}")
case ${1:-} in
  --test) packages+=("${test[@]}") ;;
  "") ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

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
