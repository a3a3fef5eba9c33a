# shellcheck shell=bash
# Sourced by the setup scripts: install_packages PKG... installs, with apt-get, those of the
# Debian packages that are not installed yet (as root, Debian 12).
missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

install_packages() {
  local missing
  mapfile -t missing < <(missing_packages "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# install_packages_without_services PKG...: as install_packages, but a service that comes with a
# package is neither started nor enabled at boot: a policy-rc.d refuses every start while apt
# runs (one already in place is kept), then each package's service is disabled (and stopped,
# should anything have started it anyway).
install_packages_without_services() {
  local missing p policy=/usr/sbin/policy-rc.d
  mapfile -t missing < <(missing_packages "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ -e "$policy" ]; then
    install_packages "${missing[@]}"
  else
    (
      trap 'rm -f "$policy"' EXIT
      printf '#!/bin/sh\n# scripts/setup.sh: no service starts while it installs packages.\nexit 101\n' >"$policy"
      chmod 755 "$policy"
      install_packages "${missing[@]}"
    )
  fi
  for p in "${missing[@]}"; do
    if [ -d /run/systemd/system ]; then
      systemctl disable --now "$p" >/dev/null 2>&1 || true
    elif [ -x "/etc/init.d/$p" ]; then
      update-rc.d "$p" disable >/dev/null 2>&1 || true
    fi
  done
}
