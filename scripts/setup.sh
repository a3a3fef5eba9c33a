#!/usr/bin/env bash
# Installs everything the project needs on Debian 12 (run as root), then configures and builds.
# Usage: scripts/setup.sh [BUILD_DIR [TARGET...]]   (default: build, everything)
# QLN_BUILD_TYPE (default RelWithDebInfo) and QLN_CMAKE_ARGS (extra cache settings) go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true

packages=(cmake ninja-build g++ qt6-base-dev
          libqt6svg6                      # draws the windows' SVG icons
          tftp-hpa atftp curl             # real TFTP clients for the server's tests and benchmark
          xvfb xauth                      # a display for QLN_Set where none exists
          ansible-core git                # examples/ansible and its tests run playbooks against qln-devsim
          fonts-wqy-microhei              # a font with the full-width question mark of the dialogs
          iproute2                        # ip and ss: the tests' private network, who holds a port
          help2man man-db                 # the man pages, made from --help, and their check
          dpkg-dev file lintian desktop-file-utils)  # the Debian package and its checks
source scripts/install-packages.sh
install_packages "${packages[@]}"
# The tests run in.tftpd themselves on a loopback port: the TFTP service that comes with the
# package would listen on UDP 69 of every interface and start at boot, so it is neither started
# nor enabled.
install_packages_without_services tftpd-hpa

# shellcheck disable=SC2086  # QLN_CMAKE_ARGS holds several arguments
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${QLN_BUILD_TYPE:-RelWithDebInfo}" ${QLN_CMAKE_ARGS:-} >/dev/null
ninja -C "$build" -j2 "$@"
