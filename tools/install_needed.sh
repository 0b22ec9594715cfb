# shellcheck shell=bash disable=SC2154  # need is the sourcing script's
# Sourced by the check scripts (windows.sh, platforms.sh): InstallNeeded installs the Debian
# packages named in the array `need`, as root, waiting for another apt-get's lock rather than
# failing; where that cannot be done it calls the script's own Skip with the reason.
InstallNeeded() {
  [ ${#need[@]} -gt 0 ] || return 0
  if ! command -v apt-get >/dev/null 2>&1 || [ "$(id -u)" != 0 ]; then
    Skip "missing ${need[*]} (install them with apt-get as root)"
  fi
  echo "Installing ${need[*]} ..."
  apt-get update -qq -o DPkg::Lock::Timeout=600 >&2 || Skip "apt-get update failed"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=600 \
    --no-install-recommends "${need[@]}" >/dev/null || Skip "cannot install ${need[*]}"
}
