#!/usr/bin/env bash
# Sets up, builds and runs Tallowpen on Debian 12.
#   tools/tallowpen.sh run    install what is missing, build, create an empty
#                             tallowpen.db in the program folder if there is
#                             none, and start the editor
#   tools/tallowpen.sh test   install what is missing, build, run every test
#                             headless
#   tools/tallowpen.sh package install what is missing, build the programs,
#                             make build/tallowpen_VERSION_amd64.deb and fail
#                             on any lintian error or warning in it
# BUILD_DIR (default: build) names the build folder.
set -euo pipefail

mode=${1:-}
case "$mode" in
    run|test|package) ;;
    *) echo "usage: $0 run|test|package" >&2; exit 2 ;;
esac

top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
packages=(cmake g++ make lld pkg-config qt6-base-dev libsqlite3-dev sqlite3 libhunspell-dev hunspell-es libpq-dev)
# The install tree's test runs the two validators; the package needs
# dpkg-shlibdeps (dpkg-dev), which needs file, and is checked by lintian. The
# exchange tests read what we write with readers no one here wrote: msgfmt
# (gettext), xmllint (libxml2-utils), the Translate Toolkit; the drafts run
# the real engine.
case "$mode" in
    test) packages+=(desktop-file-utils appstream gettext libxml2-utils translate-toolkit apertium-eng-spa postgresql-15) ;;
    package) packages+=(dpkg-dev file lintian) ;;
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

# The same flags in every mode, so that switching between them rebuilds nothing.
# lld links the seventy-odd test programs in a third of the GNU linker's time.
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWPEN_WERROR=ON \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld
if [ "$mode" = test ]; then
    cmake --build "$build" -j"$(nproc)"
else
    # The editor needs only the two programs and the font, not the tests.
    cmake --build "$build" -j"$(nproc)" --target tallowpen tallowpen-cli tallowpen_font
fi

if [ "$mode" = package ]; then
    (cd "$build" && cpack -G DEB)
    # The package of this build only, not one an earlier version left there.
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    lintian --fail-on error,warning "$build/tallowpen_${version}_amd64.deb"
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
