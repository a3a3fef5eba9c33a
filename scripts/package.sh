#!/usr/bin/env bash
# Builds the Debian package quillon-tools_VERSION_amd64.deb from a Release build with Debian's
# hardening flags, in BUILD_DIR (default build-package), and shows what lintian says of it.
# Install it with: apt install ./build-package/quillon-tools_*.deb
# Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
source scripts/install-packages.sh
install_packages dpkg-dev
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
QLN_BUILD_TYPE=Release QLN_CMAKE_ARGS=-DBUILD_TESTING=OFF \
  scripts/setup.sh "$build" QLN_Set QLN_Test QLN_Xfer qln qln-devsim qln_docs
(cd "$build" && cpack >/dev/null)
deb=$(ls "$build"/quillon-tools_*_amd64.deb)
echo "Built $deb"
lintian --fail-on error "$deb" || { echo "lintian found errors in $deb" >&2; exit 1; }
