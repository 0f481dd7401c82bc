#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the program need
# (packaging included: the icon's pictures, the .deb and its checks).
# Quiet and quick when everything is present; runs apt-get update only when something
# is missing. "--run" adds what only running the program needs (the word processor
# and the X server used for running without a desktop); "--check" adds clang and its
# sanitizer and libFuzzer runtimes for the fuzz targets of "make check"; "--format" adds
# clang-format for "make format".
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-image-formats-plugins qt6-svg-dev
  libwmf-dev libemf2svg-dev fonts-urw-base35
  libgl-dev libxkbcommon-dev
  libsqlite3-dev libsqlitecpp-dev sqlite3
  # libpq: the server store; postgresql: the throwaway cluster of its tests (scripts/pg-cluster.sh)
  libpq-dev postgresql
  libqpdf-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # fonts-wqy-microhei and fonts-arphic-uming: the font tests (tests/fonts)
  fonts-noto-cjk fonts-wqy-microhei fonts-arphic-uming poppler-utils
  dpkg-dev file librsvg2-bin desktop-file-utils lintian
  xvfb xauth imagemagick
)
for arg in "$@"; do
  case "$arg" in
    --run) packages+=(libreoffice-writer) ;;
    --check) packages+=(clang libclang-rt-dev) ;;
    --format) packages+=(clang-format) ;;
    *) echo "usage: $0 [--run] [--check] [--format]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Please run as root or install sudo: apt-get install ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
