#!/usr/bin/env bash
# Installs what the build, the tests and the programs need from Debian's packages; silent when
# everything is present. Everything they open outside the tree comes from a package named here:
# the Qt platform plugins (offscreen, xcb) and the SVG icon engine, the printouts' fonts
# (Liberation), the fonts a test limits the printouts to (DejaVu), and the tools the tests run.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev
          libqt6gui6 libqt6svg6
          fonts-liberation fonts-dejavu-core
          libgtest-dev libgmock-dev libbenchmark-dev
          xvfb xauth poppler-utils
          dpkg-dev help2man desktop-file-utils lintian)
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
