#!/usr/bin/env bash
# Sets up, builds and runs Tallowpen on Debian 12.
#   tools/tallowpen.sh run    install what is missing, build, create an empty
#                             tallowpen.db in the program folder if there is
#                             none, and start the editor
#   tools/tallowpen.sh test   install what is missing, build, run every test
#                             headless
#   tools/tallowpen.sh package install what is missing, build the programs and
#                             make build/tallowpen_VERSION_amd64.deb
# BUILD_DIR (default: build) names the build folder.
set -euo pipefail

mode=${1:-}
case "$mode" in
    run|test|package) ;;
    *) echo "usage: $0 run|test|package" >&2; exit 2 ;;
esac

top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
packages=(cmake g++ make pkg-config qt6-base-dev libsqlite3-dev sqlite3 libhunspell-dev hunspell-es libpq-dev)
# The install tree's test runs the two validators; the package needs
# dpkg-shlibdeps (dpkg-dev), which needs file.
case "$mode" in
    test) packages+=(desktop-file-utils appstream postgresql-15) ;;
    package) packages+=(dpkg-dev file) ;;
esac

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

werror=(-DTALLOWPEN_WERROR=OFF)
[ "$mode" = test ] && werror=(-DTALLOWPEN_WERROR=ON)
# A package is made from the build as it stands (CI's tested one), so the
# warning setting is left as it is rather than rebuilding everything.
[ "$mode" = package ] && werror=()
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${werror[@]}"
if [ "$mode" = test ]; then
    cmake --build "$build" -j"$(nproc)"
else
    # The editor needs only the two programs and the font, not the tests.
    cmake --build "$build" -j"$(nproc)" --target tallowpen tallowpen-cli tallowpen_font
fi

if [ "$mode" = package ]; then
    (cd "$build" && cpack -G DEB)
    exit
fi

if [ "$mode" = test ]; then
    cd "$build"
    # The server tests get a throwaway PostgreSQL cluster of their own.
    QT_QPA_PLATFORM=offscreen "$top/tools/with-test-server.sh" ctest --output-on-failure -j"$(nproc)"
    exit
fi

program="$build/bin"
[ -f "$program/tallowpen.db" ] || "$program/tallowpen-cli" --home "$program" init
exec "$program/tallowpen" --home "$program" "${@:2}"
