# shellcheck shell=bash
# Fresh Debian roots and the README's two commands run inside them; sourced by prove_debian.sh
# (one root per release) and prove_arm.sh (one root per ARM architecture, emulated).
# The sourcing script sets `prog` (the name its messages start with) and runs from the repository.

require_root() {
  if [[ $(id -u) -ne 0 ]]; then
    echo "$prog: debootstrap and chroot need root; run this as root." >&2
    exit 1
  fi
}

# Runs a command inside the root as a fresh login would, in private mount, PID and network
# namespaces: the root's /proc, /sys and /dev vanish with them, and so does anything left running
# (the command is the namespace's first process: when it ends, the kernel ends the rest).
# The network namespace keeps the root's X displays apart from the host's: the root's /tmp hides
# the host's X lock files and sockets, but abstract X sockets belong to the network namespace, so
# a root sharing the host's would let its Xvfb take a display number in use on the host and its
# clients reach the host's server instead. slirp4netns gives the namespace a route to the mirror.
in_root() {
  local root=$1 go ready ns slirp status=0
  shift
  go=$(mktemp -u) && mkfifo "$go"
  ready=$(mktemp -u) && mkfifo "$ready"
  unshare --net --mount --propagation private --pid --fork --kill-child \
    --mount-proc="$root/proc" \
    bash -c 'go=$1 root=$2; shift 2
             read -r _ <"$go"
             mount --rbind /dev "$root/dev"
             mount --rbind -o ro /sys "$root/sys"
             exec chroot "$root" env -i HOME=/root TERM=dumb \
               PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"' \
    in_root "$go" "$root" "$@" &
  ns=$!
  # slirp4netns joins the network namespace of that process: wait until it has its own, and
  # never hand it the host's.
  local host_net own=
  host_net=$(readlink /proc/self/ns/net)
  for _ in $(seq 200); do
    own=$(readlink "/proc/$ns/ns/net" 2>/dev/null || true)
    [[ -n $own && $own != "$host_net" ]] && break
    own=
    sleep 0.05
  done
  if [[ -z $own ]]; then
    kill "$ns" 2>/dev/null || true
    rm -f "$go" "$ready"
    echo "$prog: the root's network namespace did not come up" >&2
    return 1
  fi
  slirp4netns --configure --mtu=65520 --disable-host-loopback --ready-fd=3 "$ns" tap0 \
    3>"$ready" >/dev/null 2>&1 &
  slirp=$!
  read -r -n 1 -t 30 _ <"$ready" || echo "$prog: slirp4netns gave no sign of a network" >&2
  echo go >"$go"
  wait "$ns" || status=$?
  kill "$slirp" 2>/dev/null || true
  wait "$slirp" 2>/dev/null || true  # its status is that of the kill
  rm -f "$go" "$ready"
  return "$status"
}

# A fresh minimal root of a Debian suite with git added, rebuilt on every run: debootstrap's
# log beside it. ARCH, when it is not the host's, makes a foreign root: debootstrap unpacks it
# here and runs its second stage inside it, under the emulator binfmt_misc names for that
# architecture. The second stage mounts /proc and /sys itself (and fails when it cannot take
# in_root's down again), so it gets a mount namespace of its own instead.
make_root() {
  local root=$1 suite=$2 arch=${3:-} mirror=${MIRROR:-http://deb.debian.org/debian}
  # Nothing is mounted under the root outside in_root's namespaces, so removing it is safe.
  if findmnt -rn -o TARGET | grep -q "^$root/"; then
    echo "$prog: something is mounted under $root; not removing it" >&2
    return 1
  fi
  rm -rf "$root"
  mkdir -p "$(dirname "$root")"
  local options=(--variant=minbase --include=git)
  [[ -z $arch || $arch == "$(dpkg --print-architecture)" ]] || options+=(--arch="$arch" --foreign)
  if debootstrap "${options[@]}" "$suite" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 &&
     { [[ ! -e $root/debootstrap/debootstrap ]] ||
       unshare --mount --propagation private chroot "$root" /debootstrap/debootstrap \
         --second-stage >>"$root.debootstrap.log" 2>&1; }
  then
    return 0
  fi
  echo "$prog: debootstrap failed, see $root.debootstrap.log" >&2
  return 1
}

# This repository's commit cloned into the root, as /root/tov_touch.
clone_into() {
  local root=$1 commit=$2
  git clone -q "$PWD" "$root/root/tov_touch"
  git -C "$root/root/tov_touch" -c advice.detachedHead=false checkout -q "$commit"
}

# Runs one of the two commands in the root's clone, ended after BOUND seconds (0: never):
# "exit STATUS, SECONDS s", the output in LOG. A command that ran out of time exits 124.
timed() {
  local root=$1 log=$2 bound=$3
  shift 3
  local start=$SECONDS status=0
  in_root "$root" timeout --kill-after=30 "$bound" bash -c 'cd /root/tov_touch && "$@"' timed "$@" \
    >"$log" 2>&1 || status=$?
  echo "exit $status, $((SECONDS - start)) s"
}

# The last line of a log that matches a pattern, or nothing.
last() { grep -E "$1" "$2" | tail -n 1 || true; }

# `./run demo`, then `./run test` with any further arguments (make variables), in the root's
# clone, each bounded by BOUND seconds (0: never). Sets `summary` to one line, LABEL first, with
# each command's exit status and time and what the test suite reported; fails when either
# failed. PREFIX starts each progress line.
run_two_commands() {
  local root=$1 label=$2 bound=$3 prefix=$4
  shift 4
  local demo test python pytest ctest interpreters shots
  demo=$(timed "$root" "$root.demo.log" "$bound" ./run demo)
  echo "$prefix./run demo: $demo (log: $root.demo.log)"
  test=$(timed "$root" "$root.test.log" "$bound" ./run test "$@")
  echo "$prefix./run test${*:+ $*}: $test (log: $root.test.log)"

  python=$(in_root "$root" python3 --version 2>&1 || echo "no python3")
  pytest=$(last '^=+ .*(passed|failed|error).* in [0-9.]+s' "$root.test.log" | tr -d '=' |
           sed 's/^ *//; s/ *$//')
  ctest=$(last 'tests passed, [0-9]+ tests failed' "$root.test.log")
  interpreters=$(last '^passed on: ' "$root.test.log")
  shots=$(find "$root/root/tov_touch/build/screenshots" -name '*.png' 2>/dev/null | wc -l || true)
  summary="$label, $python: ./run demo: $demo, $shots screenshots |"\
" ./run test: $test, pytest: ${pytest:-no result}, ctest: ${ctest:-no result} |"\
" ${interpreters:-no interpreter summary}"
  [[ $demo == "exit 0,"* && $test == "exit 0,"* ]]
}
