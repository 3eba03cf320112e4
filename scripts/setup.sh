#!/usr/bin/env bash
# Installs, from Debian's archive, whatever the build, the tests and the demo need and the machine
# lacks. Safe to run again: packages already present are left alone and apt is not even asked.
# Extra packages for one job only can be named as arguments: `bash scripts/setup.sh valgrind`.
set -euo pipefail

packages=(
  g++ cmake make python3-dev
  python3-wxgtk4.0
  python3-pytest python3-pytest-xvfb python3-pytest-timeout
  python3-mypy
  python3-pip python3-venv python3-setuptools python3-wheel
  xvfb xauth openbox xdotool x11-xserver-utils
  fonts-dejavu-core fonts-wqy-microhei
  libgooglepinyin0-dev
)
packages+=("$@")

missing=()
for pkg in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "setup: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
