#!/usr/bin/env bash
# Sets up, builds and runs Tallowpen on Debian 12.
#   tools/tallowpen.sh run    install what is missing, build, create an empty
#                             tallowpen.db in the program folder if there is
#                             none, and start the editor
#   tools/tallowpen.sh test   install what is missing, build, run every test
#                             headless
# BUILD_DIR (default: build) names the build folder.
set -euo pipefail

mode=${1:-}
case "$mode" in
    run|test) ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
packages=(cmake g++ make pkg-config qt6-base-dev libsqlite3-dev sqlite3 libhunspell-dev hunspell-es)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

werror=OFF
[ "$mode" = test ] && werror=ON
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWPEN_WERROR=$werror
if [ "$mode" = test ]; then
    cmake --build "$build" -j"$(nproc)"
else
    # The editor needs only the two programs and the font, not the tests.
    cmake --build "$build" -j"$(nproc)" --target tallowpen tallowpen-cli tallowpen_font
fi

if [ "$mode" = test ]; then
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
    exit
fi

program="$build/bin"
[ -f "$program/tallowpen.db" ] || "$program/tallowpen-cli" --home "$program" init
exec "$program/tallowpen" --home "$program" "${@:2}"
