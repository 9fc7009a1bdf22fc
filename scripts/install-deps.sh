#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Skyrelay need.
# Quiet and quick when everything is already there: apt is only asked for what is missing.
set -euo pipefail

packages=(
  g++ make cmake ninja-build pkg-config ccache
  clang libclang-rt-dev
  qt6-base-dev qt6-serialport-dev libgl-dev
  libgtest-dev libgmock-dev
  fonts-dejavu-core fonts-wqy-microhei xvfb xauth imagemagick
  libcli11-dev nlohmann-json3-dev libudev-dev
  qt6-charts-dev libqt6opengl6-dev
  libgensio-dev ser2net libssl-dev openssl
  libyaml-cpp-dev libmicrohttpd-dev libgnutls28-dev libcrypt-dev
  prometheus curl apache2-utils
  poppler-utils python3-jsonschema
  dpkg-dev lintian desktop-file-utils appstream file librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
