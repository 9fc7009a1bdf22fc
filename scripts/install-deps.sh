#!/usr/bin/env bash
# Installs the Debian 12 packages one purpose of Skyrelay needs, by group:
#   scripts/install-deps.sh GROUP...      (no group: build)
# Quiet and quick when everything is already there: apt is only asked for what is missing, and
# all the groups named are installed in one apt run.
set -euo pipefail

# Building Skyrelay and running it (`make run`: the simulator and, without a display, Xvfb and
# a screenshot).
build=(
  g++ make cmake ninja-build pkg-config ccache lld
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  libcli11-dev nlohmann-json3-dev libudev-dev libgensio-dev libssl-dev
  libyaml-cpp-dev libmicrohttpd-dev libgnutls28-dev libcrypt-dev
  fonts-dejavu-core fonts-wqy-microhei xvfb xauth imagemagick
)
# The tests (`make test`): GoogleTest, the serial server and certificates the remote line is
# tested through, the PDF reader the service report is checked with, and the layer check.
test=(
  libgtest-dev libgmock-dev
  ser2net openssl
  prometheus curl apache2-utils
  poppler-utils
  python3 python3-jsonschema
)
# Clang with its sanitizer runtimes: `make test-sanitizers`, `make build-clang`, `make fuzz`.
sanitizers=(
  clang libclang-rt-dev
)
# The Debian package and its checks (`make package`, `make test-package`).
package=(
  dpkg-dev file lintian desktop-file-utils appstream
)
# Rendering the icon's theme sizes from its SVG (scripts/make-icons.sh).
icons=(
  imagemagick librsvg2-bin
)

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(build)
wanted=()
for group in "${groups[@]}"; do
  case $group in
    build | test | sanitizers | package | icons) ;;
    *) echo "install-deps.sh: no group '$group' (build, test, sanitizers, package, icons)" >&2
       exit 2 ;;
  esac
  declare -n list=$group
  wanted+=("${list[@]}")
done

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    [[ " ${missing[*]} " == *" $p "* ]] || missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# dpkg without a sync after every file (half the time of an install): only a power cut in the
# middle of it could cost what it was unpacking.
install() {
  $sudo apt-get install -y -qq --no-install-recommends -o Dpkg::Options::=--force-unsafe-io \
    "${missing[@]}" >/dev/null
}
# The package lists are fetched again (half a minute) only when the ones at hand cannot give
# what is missing; apt fetches every package before it unpacks any, so a failed try changes
# nothing.
install 2>/dev/null || { $sudo apt-get update -qq && install; }
