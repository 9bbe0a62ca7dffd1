#!/usr/bin/env bash
# Builds the Debian package build/harlune_<version>_amd64.deb with CPack, and
# checks it and its desktop files with lintian, desktop-file-validate and
# appstreamcli. The package is built in build/package, with Debian's hardening
# flags and without the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh package

build=build/package
# dpkg-buildflags gives the compiler and linker flags Debian packages are
# built with, here with every hardening feature on.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build"
(cd "$build" && cpack -G DEB -B "$PWD/..")

deb=$(ls -t build/harlune_*_amd64.deb | head -n1)
echo "package.sh: built $deb ($(du -k "$deb" | cut -f1) KiB)"
dpkg-deb --field "$deb" Package Version Installed-Size Depends Recommends

contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb --extract "$deb" "$contents"
desktop-file-validate "$contents"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml
# lintian is not run as root; it says so and skips checks that way.
lintian --info "$deb" || { echo "package.sh: lintian found errors" >&2; exit 1; }
