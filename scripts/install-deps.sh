#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the benchmarks need.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev           # the reader's fuzzer and the sanitizer build
  libgtest-dev libgmock-dev libbenchmark-dev
  sqlite3 libsqlite3-dev
  python3 python3-ezdxf              # the independent DXF peer of the interop tests
  locales-all                        # number handling checked under comma-decimal locales
  qt6-base-dev libgl-dev             # the window layer (Qt 6 Widgets)
  fonts-wine fonts-dejavu-core       # Tahoma metrics for dialog templates, one fixed fallback
  # Chinese, Japanese and Korean glyphs, which Qt takes per glyph where the template's
  # and the drawing's fonts have none: WenQuanYi Micro Hei is the smallest that covers
  # them (5 MB installed, against 7 MB for fonts-droid-fallback and 91 MB for
  # fonts-noto-cjk), and a sans-serif like the fonts it stands in beside.
  fonts-wqy-microhei
  xvfb xdotool x11-apps              # the smoke test with real mouse clicks under Xvfb
  desktop-file-utils libxml2-utils shared-mime-info libglib2.0-bin  # the installed desktop entry and drawing type checked
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
