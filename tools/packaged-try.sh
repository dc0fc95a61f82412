#!/usr/bin/env bash
# Builds the Debian package, installs it as a user would (apt-get install of
# the file), tries the installed programs from their installed places, and
# removes the package again. Run as root (CI); BUILD_DIR as for tallowpen.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}

"$top/tools/tallowpen.sh" package
deb=$(ls "$build"/tallowpen_*_amd64.deb)
echo "Installing $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb"

scratch=$(mktemp -d)
trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq tallowpen; rm -rf "$scratch"' EXIT

/usr/bin/tallowpen-cli --version
QT_QPA_PLATFORM=offscreen /usr/bin/tallowpen --version

# Without --home an installed copy works in the user's data folder, given the
# default font on first use.
user="$scratch/user"
mkdir -p "$user"
HOME="$user" XDG_DATA_HOME= /usr/bin/tallowpen-cli --help | grep -F "Program folder: $user/.local/share/tallowpen"
test -f "$user/.local/share/tallowpen/font/font.bmp"

home="$scratch/home"
mkdir -p "$home"
"$build/bin/tallowpen-gencorpus" --out "$scratch/corpus" >/dev/null
/usr/bin/tallowpen-cli --home "$home" init
/usr/bin/tallowpen-cli --home "$home" import-original "$scratch/corpus"
/usr/bin/tallowpen-cli --home "$home" status

# The editor must still be running when it is stopped (124 from timeout).
mkdir -p "$home/font" && cp /usr/share/tallowpen/font/font.bmp "$home/font/"
status=0
QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/tallowpen --home "$home" --no-splash || status=$?
if [ "$status" -ne 124 ]; then
    echo "the installed editor ended with status $status within 5 seconds" >&2
    exit 1
fi
echo "The installed package works."
