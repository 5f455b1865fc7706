#!/usr/bin/env bash
# Installs what the build needs from Debian's packages; silent when everything is present.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          xvfb xauth poppler-utils
          dpkg-dev help2man desktop-file-utils
          clang llvm)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
