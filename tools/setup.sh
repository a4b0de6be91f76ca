#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need, when missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libjpeg62-turbo-dev libserialport-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  srecord binutils socat
  clang libclang-rt-14-dev llvm
  fonts-liberation2
  dpkg-dev desktop-file-utils man-db groff-base bsdextrautils file xvfb xdotool
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "setup: installing ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

# A fresh machine has no package lists; update only when a package is unknown.
for package in "${missing[@]}"; do
  if ! apt-cache show "$package" >/dev/null 2>&1; then
    "${sudo[@]}" apt-get update -q || { echo "setup: apt-get update failed" >&2; exit 1; }
    break
  fi
done

if ! "${sudo[@]}" apt-get install -y -q "${missing[@]}"; then
  echo "setup: could not install ${missing[*]}" >&2
  exit 1
fi
