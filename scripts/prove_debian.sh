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

prog=prove-debian
source scripts/roots.sh
releases=("$@")
[[ ${#releases[@]} -gt 0 ]] || releases=(12 13 testing)
roots=${ROOTS:-/var/tmp/tov_touch-roots}

require_root
bash scripts/setup.sh debootstrap slirp4netns
commit=$(git rev-parse --short HEAD)
[[ -z $(git status --porcelain --untracked-files=no) ]] ||
  echo "$prog: note: uncommitted changes are not part of the proof; it clones $commit"

suite_of() {
  case $1 in
    12) echo bookworm ;;
    13) echo trixie ;;
    testing) echo testing ;;
    *) echo "$prog: unknown release '$1' (12, 13 or testing)" >&2; return 1 ;;
  esac
}

summaries=() failed=()
for release in "${releases[@]}"; do
  suite=$(suite_of "$release")
  root="$roots/$release"
  echo "== Debian $release ($suite): fresh root in $root"
  start=$SECONDS
  make_root "$root" "$suite" || exit 1
  if [[ $release == testing ]]; then
    # The testing archive's Release file can be past its Valid-Until date on the mirror.
    echo 'Acquire::Check-Valid-Until "false";' >"$root/etc/apt/apt.conf.d/99testing-valid-until"
  fi
  echo "   debootstrap: $((SECONDS - start)) s"
  clone_into "$root" "$commit"

  # A plain user (a fresh Debian has no sudo) must get one sentence, not a shell error.
  in_root "$root" useradd --create-home panel
  git -c advice.detachedHead=false clone -q "$root/root/tov_touch" "$root/home/panel/tov_touch"
  in_root "$root" chown -R panel: /home/panel/tov_touch
  plain=$(in_root "$root" runuser -u panel -- /home/panel/tov_touch/run demo 2>&1 || true)
  echo "   plain user: $plain"

  run_two_commands "$root" "Debian $release ($suite)" 0 "   " || failed+=("$release")
  summaries+=("$summary")
done

echo
echo "Proof of the two commands on fresh Debian roots (commit $commit):"
printf '%s\n' "${summaries[@]}"
[[ ${#failed[@]} -eq 0 ]] || { echo "$prog: failed on ${failed[*]}" >&2; exit 1; }
