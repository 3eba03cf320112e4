#!/usr/bin/env bash
# Proves the README's two commands on brand-new Debian systems: for each release it builds a fresh
# minimal root with debootstrap (nothing but git added), clones this repository's HEAD into it and
# runs `./run demo` and `./run test` there as root, after checking that a plain user without sudo
# gets a sentence instead of a shell error. Prints one line per release at the end.
# Needs root and the network (Debian's mirror); installs debootstrap and slirp4netns; takes
# several minutes a release.
# Usage: scripts/prove_debian.sh [RELEASE ...]   RELEASE: 12, 13 or testing (default: all three)
# ROOTS is where the roots are built (default /var/tmp/tov_touch-roots); each is rebuilt on every run.
set -euo pipefail
cd "$(dirname "$0")/.."

repo=$PWD
roots=${ROOTS:-/var/tmp/tov_touch-roots}
mirror=${MIRROR:-http://deb.debian.org/debian}
releases=("$@")
[[ ${#releases[@]} -gt 0 ]] || releases=(12 13 testing)

if [[ $(id -u) -ne 0 ]]; then
  echo "prove-debian: debootstrap and chroot need root; run this as root." >&2
  exit 1
fi
bash scripts/setup.sh debootstrap slirp4netns
commit=$(git rev-parse --short HEAD)
[[ -z $(git status --porcelain --untracked-files=no) ]] ||
  echo "prove-debian: note: uncommitted changes are not part of the proof; it clones $commit"

suite_of() {
  case $1 in
    12) echo bookworm ;;
    13) echo trixie ;;
    testing) echo testing ;;
    *) echo "prove-debian: unknown release '$1' (12, 13 or testing)" >&2; return 1 ;;
  esac
}

# Runs a command inside the root as a fresh login would, in private mount, PID and network
# namespaces: the root's /proc, /sys and /dev vanish with them, and so does anything left running.
# The network namespace keeps the root's X displays apart from the host's: the root's /tmp hides
# the host's X lock files and sockets, but abstract X sockets belong to the network namespace, so
# a root sharing the host's would let its Xvfb take a display number in use on the host and its
# clients reach the host's server instead. slirp4netns gives the namespace a route to the mirror.
in_root() {
  local root=$1 go ready ns slirp status=0
  shift
  go=$(mktemp -u) && mkfifo "$go"
  ready=$(mktemp -u) && mkfifo "$ready"
  unshare --net --mount --propagation private --pid --fork --mount-proc="$root/proc" \
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
    echo "prove-debian: the root's network namespace did not come up" >&2
    return 1
  fi
  slirp4netns --configure --mtu=65520 --disable-host-loopback --ready-fd=3 "$ns" tap0 \
    3>"$ready" >/dev/null 2>&1 &
  slirp=$!
  read -r -n 1 -t 30 _ <"$ready" || echo "prove-debian: slirp4netns gave no sign of a network" >&2
  echo go >"$go"
  wait "$ns" || status=$?
  kill "$slirp" 2>/dev/null || true
  wait "$slirp" 2>/dev/null || true  # its status is that of the kill
  rm -f "$go" "$ready"
  return "$status"
}

# Runs one of the two commands in the root's clone: exit status, seconds, output in $log.
timed() {
  local root=$1 log=$2
  shift 2
  local start=$SECONDS status=0
  in_root "$root" bash -c 'cd /root/tov_touch && "$@"' timed "$@" >"$log" 2>&1 || status=$?
  echo "exit $status, $((SECONDS - start)) s"
}

# The last line of a log that matches a pattern, or nothing.
last() { grep -E "$1" "$2" | tail -n 1 || true; }

summaries=() failed=()
for release in "${releases[@]}"; do
  suite=$(suite_of "$release")
  root="$roots/$release"
  echo "== Debian $release ($suite): fresh root in $root"
  # Nothing is mounted under the root outside in_root's namespaces, so removing it is safe.
  if findmnt -rn -o TARGET | grep -q "^$root/"; then
    echo "prove-debian: something is mounted under $root; not removing it" >&2
    exit 1
  fi
  rm -rf "$root"
  mkdir -p "$roots"
  start=$SECONDS
  debootstrap --variant=minbase --include=git "$suite" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    { echo "prove-debian: debootstrap failed, see $root.debootstrap.log" >&2; exit 1; }
  if [[ $release == testing ]]; then
    # The testing archive's Release file can be past its Valid-Until date on the mirror.
    echo 'Acquire::Check-Valid-Until "false";' >"$root/etc/apt/apt.conf.d/99testing-valid-until"
  fi
  echo "   debootstrap: $((SECONDS - start)) s"
  git clone -q "$repo" "$root/root/tov_touch"
  git -C "$root/root/tov_touch" -c advice.detachedHead=false checkout -q "$commit"

  # A plain user (a fresh Debian has no sudo) must get one sentence, not a shell error.
  in_root "$root" useradd --create-home panel
  git -c advice.detachedHead=false clone -q "$root/root/tov_touch" "$root/home/panel/tov_touch"
  in_root "$root" chown -R panel: /home/panel/tov_touch
  plain=$(in_root "$root" runuser -u panel -- /home/panel/tov_touch/run demo 2>&1 || true)
  echo "   plain user: $plain"

  demo=$(timed "$root" "$root.demo.log" ./run demo)
  echo "   ./run demo: $demo (log: $root.demo.log)"
  test=$(timed "$root" "$root.test.log" ./run test)
  echo "   ./run test: $test (log: $root.test.log)"

  python=$(in_root "$root" python3 --version 2>&1 || echo "no python3")
  pytest=$(last '^=+ .*(passed|failed|error).* in [0-9.]+s' "$root.test.log" | tr -d '=' |
           sed 's/^ *//; s/ *$//')
  ctest=$(last 'tests passed, [0-9]+ tests failed' "$root.test.log")
  interpreters=$(last '^passed on: ' "$root.test.log")
  shots=$(find "$root/root/tov_touch/build/screenshots" -name '*.png' 2>/dev/null | wc -l || true)
  summaries+=("Debian $release ($suite, $python): ./run demo: $demo, $shots screenshots |"\
" ./run test: $test, pytest: ${pytest:-no result}, ctest: ${ctest:-no result} |"\
" ${interpreters:-no interpreter summary}")
  [[ $demo == "exit 0,"* && $test == "exit 0,"* ]] || failed+=("$release")
done

echo
echo "Proof of the two commands on fresh Debian roots (commit $commit):"
printf '%s\n' "${summaries[@]}"
[[ ${#failed[@]} -eq 0 ]] || { echo "prove-debian: failed on ${failed[*]}" >&2; exit 1; }
