#!/usr/bin/env bash
# Proves the README's two commands on the ARM panels' system: for each architecture it builds a
# fresh minimal Debian 12 root of that architecture with debootstrap (nothing but git added),
# clones this repository's HEAD into it and runs `./run demo` and `./run test` there as root,
# every ARM program emulated by qemu-user through binfmt_misc. The architectures run side by side.
# Prints one line per architecture at the end.
# Needs root and the network (Debian's mirror); installs debootstrap, slirp4netns,
# qemu-user-static and binfmt-support, and mounts binfmt_misc where it is not. Emulation is slow
# (the build, the demo and the tests run 5 to 20 times slower than natively), so this runs at the
# lowest CPU priority and each command is ended after BOUND seconds.
# Usage: scripts/prove_arm.sh [ARCH ...]   ARCH: arm64 or armhf (default: both)
# ROOTS is where the roots are built (default /var/tmp/tov_touch-arm-roots), rebuilt on every run;
# TESTS, when set, are the pytest arguments `./run test` runs with (its PYTEST_ARGS), and
# VARIABLES further make variables it gets (NAME=value words: the tests' environment); BOUND
# defaults to 3600 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

prog=prove-arm
source scripts/roots.sh
archs=("$@")
[[ ${#archs[@]} -gt 0 ]] || archs=(arm64 armhf)
roots=${ROOTS:-/var/tmp/tov_touch-arm-roots}
bound=${BOUND:-3600}
tests=${TESTS:-}
read -r -a variables <<<"${VARIABLES:-}"

require_root
renice -n 19 -p $$ >/dev/null
bash scripts/setup.sh debootstrap slirp4netns qemu-user-static binfmt-support
commit=$(git rev-parse --short HEAD)
[[ -z $(git status --porcelain --untracked-files=no) ]] ||
  echo "$prog: note: uncommitted changes are not part of the proof; it clones $commit"

# binfmt_misc hands every ARM program to qemu. Its F flag opens the emulator when it is
# registered, so the roots need no copy of it.
binfmt=/proc/sys/fs/binfmt_misc
mountpoint -q "$binfmt" || mount -t binfmt_misc binfmt_misc "$binfmt"
for arch in "${archs[@]}"; do
  case $arch in
    arm64) emulator=qemu-aarch64 ;;
    armhf) emulator=qemu-arm ;;
    *) echo "$prog: unknown architecture '$arch' (arm64 or armhf)" >&2; exit 1 ;;
  esac
  update-binfmts --enable "$emulator" 2>/dev/null || true
  if ! grep -qx enabled "$binfmt/$emulator" 2>/dev/null ||
     ! grep -q '^flags:.*F' "$binfmt/$emulator"; then
    echo "$prog: binfmt_misc does not run $arch programs through $emulator (with its F flag);" \
         "see update-binfmts --display $emulator" >&2
    exit 1
  fi
done

# One architecture, start to end; its summary line goes to $root.summary.
prove() {
  local arch=$1 root="$roots/$1" start=$SECONDS
  echo "[$arch] fresh Debian 12 root in $root"
  make_root "$root" bookworm "$arch" || return 1
  echo "[$arch] debootstrap: $((SECONDS - start)) s"
  clone_into "$root" "$commit"
  local status=0
  run_two_commands "$root" "Debian 12 $arch" "$bound" "[$arch] " ${tests:+"PYTEST_ARGS=$tests"} \
    ${variables[@]+"${variables[@]}"} || status=1
  echo "$summary" >"$root.summary"
  return "$status"
}

pids=()
for arch in "${archs[@]}"; do
  rm -f "$roots/$arch.summary"
  prove "$arch" &
  pids+=($!)
done
failed=()
for i in "${!archs[@]}"; do
  wait "${pids[$i]}" || failed+=("${archs[$i]}")
done

echo
echo "Proof of the two commands on Debian 12 for ARM under qemu-user (commit $commit):"
for arch in "${archs[@]}"; do
  cat "$roots/$arch.summary" 2>/dev/null || echo "Debian 12 $arch: no result (see above)"
done
[[ ${#failed[@]} -eq 0 ]] || { echo "$prog: failed on ${failed[*]}" >&2; exit 1; }
