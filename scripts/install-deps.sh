#!/usr/bin/env bash
# Installs the Debian packages Velkor builds, tests and runs with.
# Idempotent: packages already present are left alone and apt is not touched.
set -euo pipefail

# libclang-rt-14-dev holds clang's sanitizer and libFuzzer runtimes; clang
# only recommends it, and recommendations are not installed here.
# desktop-file-utils, lintian, man-db and file check the Debian package
# (make test-package); man-db also renders the manual pages in the suite.
# The browser build: Debian's emscripten (its optimiser needs node-acorn
# through NODE_PATH), and Chromium with python3 for its tests (make web,
# make test-web).
packages=(
  build-essential cmake pkg-config clang clang-format libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  libgl1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri libgles-dev
  libglfw3-dev
  libfreetype-dev fonts-liberation libpng-dev nlohmann-json3-dev
  xvfb xdotool x11-utils
  desktop-file-utils lintian man-db file
  emscripten node-acorn chromium python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
