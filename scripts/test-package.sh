#!/usr/bin/env bash
# Checks a built skyrelay .deb as a technician's laptop would get it: unpacked into a
# temporary root, every program in it answers --version and --help from there, has its
# manual page, the desktop entry's Exec and Icon resolve inside the package, and lintian,
# desktop-file-validate and appstreamcli find nothing wrong. A lintian warning passes only
# when the README lists it with its reason. Given the build folder too, `cmake --install`
# from it must lay out the same files as the package.
set -euo pipefail
deb=${1:?usage: test-package.sh skyrelay_VERSION_amd64.deb [BUILD_DIR]}
build_dir=${2:-}
readme="$(dirname "$0")/../README.md"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "test-package: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* ]] || fail "Depends lacks the Qt libraries: '$depends'"

for program in skyrelay skyrelay-acu-sim; do
  [ -x "$root/usr/bin/$program" ] || fail "/usr/bin/$program is missing"
done
for path in "$root"/usr/bin/*; do
  name=$(basename "$path")
  shown=$("$path" --version) || fail "$name --version failed"
  [[ $shown == *" $version" ]] || fail "$name --version says '$shown', the package is $version"
  "$path" --help | grep -q -- "--version" || fail "$name --help does not list --version"
  [ -f "$root/usr/share/man/man1/$name.1.gz" ] || fail "$name has no manual page"
done

# Worked by hand: a site at 0.0E 51.5N sees 19.2E at azimuth 156.0, elevation 28.4 and,
# with that position's fixed correction of -7.0, skew 7.7.
if [ -x "$root/usr/bin/skyrelay-cli" ]; then
  angles=$("$root/usr/bin/skyrelay-cli" look-angles --site 0.0E,51.5N --satellite 19.2E)
  for figure in 156.0 28.4 7.7; do
    [[ $angles == *"$figure"* ]] || fail "skyrelay-cli look-angles gave '$angles'"
  done
fi

desktop=$(ls "$root"/usr/share/applications/*.desktop)
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[ -x "$root/usr/bin/$exec_name" ] || fail "desktop entry runs '$exec_name', not in /usr/bin"
compgen -G "$root/usr/share/icons/hicolor/*/apps/$icon_name.png" >/dev/null ||
  fail "desktop entry's icon '$icon_name' is not in the hicolor theme"
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null ||
  appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
for example in sif lcd; do
  compgen -G "$root/usr/share/skyrelay/examples/*.$example" >/dev/null ||
    fail "no sample .$example file"
done
[ -f "$root/usr/share/doc/skyrelay/copyright" ] || fail "no copyright file"
for schema in common error info status upload; do
  [ -f "$root/usr/share/skyrelay/schemas/$schema.schema.json" ] || fail "no $schema.schema.json"
done

# The exporter's companions: rules Prometheus accepts, a dashboard that is JSON, and a
# service systemd accepts, installed but not enabled.
if [ -x "$root/usr/bin/skyrelay-exporter" ]; then
  share="$root/usr/share/skyrelay"
  promtool check rules "$share/prometheus/skyrelay-alerts.yml" >/dev/null ||
    fail "promtool refuses skyrelay-alerts.yml"
  promtool check config --syntax-only "$share/prometheus/prometheus-example.yml" >/dev/null ||
    fail "promtool refuses prometheus-example.yml"
  python3 -m json.tool "$share/grafana/skyrelay-fleet.json" >/dev/null ||
    fail "skyrelay-fleet.json is not JSON"
  unit="$root/usr/lib/systemd/system/skyrelay-exporter.service"
  [ -f "$unit" ] || fail "no skyrelay-exporter.service"
  # Verified as the system would load it, with its program where the package has it.
  mkdir -p "$root/verify"
  sed "s|^ExecStart=/usr/bin/|ExecStart=$root/usr/bin/|" "$unit" >"$root/verify/$(basename "$unit")"
  verified=$(systemd-analyze verify --man=no "$root/verify/$(basename "$unit")" 2>&1) ||
    fail "systemd-analyze verify: $verified"
  [ -z "$verified" ] || fail "systemd-analyze verify: $verified"
  compgen -G "$root/etc/systemd/system/*.wants/skyrelay-exporter.service" >/dev/null &&
    fail "skyrelay-exporter.service is enabled by the package"
fi

if [ -n "$build_dir" ]; then
  cmake --install "$build_dir" --prefix "$root/installed" >/dev/null
  diff <(cd "$root/usr" && find . -type f | sort) <(cd "$root/installed" && find . -type f | sort) ||
    fail "cmake --install lays out other files than the package"
fi

report=$(lintian --tag-display-limit 0 "$deb" 2>&1) || { echo "$report"; fail "lintian failed"; }
echo "$report" | grep -q '^E: ' && { echo "$report"; fail "lintian reports errors"; }
for tag in $(echo "$report" | sed -n 's/^W: [^ ]*: \([^ ]*\).*/\1/p' | sort -u); do
  grep -q -- "$tag" "$readme" || { echo "$report"; fail "lintian warning $tag is not in the README"; }
done
echo "test-package: $(basename "$deb") passes"
