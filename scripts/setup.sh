#!/usr/bin/env bash
# Installs everything the project needs on Debian 12 (run as root), then configures and builds.
# Usage: scripts/setup.sh [BUILD_DIR [TARGET...]]   (default: build, everything)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true

packages=(cmake ninja-build g++ qt6-base-dev
          tftp-hpa atftp curl tftpd-hpa   # real TFTP peers for the server's tests and benchmark
          xvfb xauth                      # a display for QLN_Set where none exists
          ansible-core git                # examples/ansible and its tests run playbooks against qln-devsim
          fonts-wqy-microhei)             # a font with the full-width question mark of the dialogs
# The tftpd-hpa service is not wanted: the tests run in.tftpd themselves on a loopback port.
source scripts/install-packages.sh
install_packages "${packages[@]}"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" -j2 "$@"
