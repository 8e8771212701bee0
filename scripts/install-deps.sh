#!/usr/bin/env bash
# Installs every Debian 12 package Reelwise II needs to build, test and run,
# and generates the locales tests run under: de_DE.UTF-8 for a decimal comma,
# tr_TR.UTF-8 for the dotted and dotless i's own case rules.
# Idempotent: packages already present are left alone, apt-get update runs
# only when something is missing and the package lists are absent or stale,
# and a locale is generated only when `locale -a` does not list it.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config ccache git
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # windows and controls
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  # library file
  libsqlite3-dev sqlite3
  # drawing
  libcairo2-dev libpango1.0-dev libfontconfig-dev
  # the busy animation's own X connection
  libxcb1-dev
  # media facts
  libmediainfo-dev
  # storage devices (filesystem UUIDs and labels)
  libblkid-dev
  # playback, frame grabs, sounds
  libmpv-dev
  # batch frame decoding
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  # JPEG
  libturbojpeg0-dev
  # mixer
  libpulse-dev libasound2-dev
  # fonts
  fonts-wine fonts-liberation2 fonts-dejavu-core
  # a fallback many desktops have, under which the tests check that text is drawn whole
  fonts-noto-core
  # test media
  ffmpeg
  # an X server of the tests' own, for what only a real X display shows
  xvfb
  # the benchmark growth table reads the benchmarks' JSON reports
  jq
  # desktop integration (launching documents, trash)
  libglib2.0-dev xdg-utils
  # locales for tests (see LOCALES below)
  locales
)

# Locales tests run under: a decimal comma (German), and case rules of their
# own for i (Turkish).
LOCALES=("de_DE.UTF-8" "tr_TR.UTF-8")

has_locale() {
  # `locale -a` spells it de_DE.utf8. grep reads the whole list (no -q), so
  # that `locale` never dies of a closed pipe, which pipefail would count.
  locale -a 2>/dev/null | grep -ix "${1%%.*}\.utf-\?8" >/dev/null
}

missing_locales() {
  local name
  for name in "${LOCALES[@]}"; do
    has_locale "$name" || echo "$name"
  done
}

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ] && [ -z "$(missing_locales)" ]; then
  echo "install-deps: all ${#PACKAGES[@]} packages and the ${LOCALES[*]} locales present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  lists=/var/lib/apt/lists
  if [ -z "$(find "$lists" -maxdepth 1 -name '*Packages*' -mmin -1440 2>/dev/null | head -n 1)" ]; then
    $SUDO apt-get update -q
  fi
  echo "install-deps: installing ${missing[*]}"
  if ! $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    # A stale package list is the usual cause; refresh once and retry.
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
fi

mapfile -t generate < <(missing_locales)
if [ ${#generate[@]} -gt 0 ]; then
  echo "install-deps: generating locales: ${generate[*]}"
  # Enable each one's line in /etc/locale.gen (commented out by default, or
  # absent), so that later runs of locale-gen keep it too.
  for name in "${generate[@]}"; do
    if grep -q "^# *$name UTF-8\$" /etc/locale.gen 2>/dev/null; then
      $SUDO sed -i "s/^# *\($name UTF-8\)\$/\1/" /etc/locale.gen
    elif ! grep -q "^$name UTF-8\$" /etc/locale.gen 2>/dev/null; then
      echo "$name UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
  done
  $SUDO locale-gen
fi
