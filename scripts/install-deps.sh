#!/usr/bin/env bash
# Installs the Debian packages the toolbox builds, runs and tests with.
# Only packages that are missing are installed; root uses apt-get directly, others sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
  libqt6webenginecore6-bin libgl-dev
  libjsoncpp-dev libcurl4-openssl-dev libarchive-dev libcpp-httplib-dev libssl-dev
  googletest libgtest-dev libgmock-dev
  fonts-noto-cjk xvfb xauth x11-utils xdotool imagemagick curl procps
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
