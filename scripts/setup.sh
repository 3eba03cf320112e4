#!/usr/bin/env bash
# Installs, from Debian's archive, whatever the build, the tests and the demo need and the machine
# lacks. Safe to run again: packages already present are left alone and apt is not even asked.
# Extra packages for one job only can be named as arguments: `bash scripts/setup.sh valgrind`.
# Installing needs root: it runs apt-get as root, or through sudo for another user.
set -euo pipefail

packages=(
  g++ cmake make python3-dev
  python3-wxgtk4.0
  python3-pytest python3-pytest-xvfb python3-pytest-timeout
  python3-mypy
  python3-pip python3-venv python3-setuptools python3-wheel
  xvfb xauth openbox icewm xdotool x11-xserver-utils x11-utils
  fonts-dejavu-core fonts-wqy-microhei
  libgooglepinyin0-dev
  python3-regex
)
packages+=("$@")

missing=()
for pkg in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "setup: these Debian packages are missing and installing them needs root, which this" \
         "user is not (and there is no sudo): as root, run" \
         "'apt-get install ${missing[*]}', then run this command again." >&2
    exit 1
  fi
  as_root=(sudo)
fi
echo "setup: installing ${missing[*]}"
# Another apt run (an unattended upgrade, a second checkout) may hold dpkg's lock for a while.
apt=(apt-get -qq -o DPkg::Lock::Timeout=600)
"${as_root[@]}" "${apt[@]}" update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y --no-install-recommends \
  "${missing[@]}"
