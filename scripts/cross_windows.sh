#!/usr/bin/env bash
# Cross-builds the module for Windows with Debian's mingw-w64, through the same CMakeLists.txt, for
# i686 and x86_64 against the Windows headers (Include/ and PC/pyconfig.h) of CPython 3.9, 3.11
# and 3.13: every source under touch/ must compile with -Wall -Wextra -Werror, and each .pyd must
# link against python3XY.dll, export only PyInit_tov_touch and import nothing but the python DLL
# and system DLLs (the C++ runtime is linked in).
#
# No python3XY.dll is at hand, so its import library is made from a .def listing the Py* symbols
# that the compiled objects leave undefined; the link then proves that python3XY.dll is the only
# thing they need beyond the runtime.
#
# The headers come from Debian's source packages, fetched once through a private apt
# configuration, and are kept in $TOV_TOUCH_CACHE (default ~/.cache/tov_touch) with ccache's
# cache, so that a later run, in a fresh clone too, compiles nothing.
#
#   bash scripts/cross_windows.sh [build dir, default build/cross-windows]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-build/cross-windows}")
cache=${TOV_TOUCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tov_touch}
# CPython version, and the Debian release whose source package of it provides the headers.
pythons=(3.9:bullseye 3.11:bookworm 3.13:trixie)
arches=(i686 x86_64)

bash scripts/setup.sh g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 ninja-build ccache

# Fetches the source packages of the versions whose headers are not in the cache yet, and keeps
# only their headers: $cache/python/3.X/include holds Include/ plus PC/pyconfig.h.
fetch_headers() {
  local wanted=() entry
  for entry in "${pythons[@]}"; do
    [[ -f $cache/python/${entry%%:*}/include/Python.h ]] || wanted+=("$entry")
  done
  [[ ${#wanted[@]} -eq 0 ]] && return

  # Debian's archive as this machine's apt reaches it, unless DEBIAN_MIRROR names another.
  local mirror=${DEBIAN_MIRROR:-}
  if [[ -z $mirror ]]; then
    # shellcheck disable=SC1091,SC2016
    mirror=$(. /etc/os-release &&
      apt-get indextargets --format '$(REPO_URI)' "Release: $VERSION_CODENAME" | head -n 1)
  fi
  if [[ -z $mirror ]]; then
    echo "cross-windows: no Debian mirror in apt's sources; set DEBIAN_MIRROR" >&2
    exit 1
  fi

  local apt_dir=$cache/apt
  rm -rf "$apt_dir"
  mkdir -p "$apt_dir"/{state/lists/partial,cache/archives/partial,none,sources}
  for entry in "${wanted[@]}"; do
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
      "$mirror ${entry#*:} main"
  done >"$apt_dir/sources.list"
  # Only these deb-src lines, and apt's own state kept apart from the system's.
  local apt=(apt-get -q -o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/none" -o "Dir::Etc::Preferences=/dev/null"
    -o "Dir::Etc::PreferencesParts=$apt_dir/none" -o "Dir::State=$apt_dir/state"
    -o "Dir::State::status=/dev/null" -o "Dir::Cache=$apt_dir/cache"
    -o "APT::Sandbox::User=$(id -un)")
  echo "cross-windows: fetching the CPython sources of ${wanted[*]}"
  "${apt[@]}" update >"$apt_dir/update.log"
  local packages=()
  for entry in "${wanted[@]}"; do packages+=("python${entry%%:*}/${entry#*:}"); done
  (cd "$apt_dir/sources" && "${apt[@]}" source --download-only "${packages[@]}" >../source.log)

  local version tarball staging
  for entry in "${wanted[@]}"; do
    version=${entry%%:*}
    tarball=$(ls "$apt_dir"/sources/python"${version}"_*.orig.tar.[gx]z)
    staging=$cache/python/$version.new
    rm -rf "$staging"
    mkdir -p "$staging"
    tar -xf "$tarball" -C "$staging" --strip-components=1 --wildcards '*/Include' '*/PC/pyconfig.h*'
    # 3.13 ships it as pyconfig.h.in; it has nothing to substitute.
    mv "$staging"/PC/pyconfig.h* "$staging/Include/pyconfig.h"
    rm -rf "$staging/PC" "$cache/python/$version"
    mkdir -p "$cache/python/$version"
    mv "$staging/Include" "$cache/python/$version/include"
    rmdir "$staging"
  done
  rm -rf "$apt_dir"
}

# Object files of the module as CMake compiles them, relative to the build directory.
module_objects() {
  grep -o -- '-o CMakeFiles/tov_touch\.dir/[^ ]*' "$1/compile_commands.json" | cut -c4- | sort
}

# The import library of the python DLL, from the symbols the objects need from it (on i686 the
# object files spell C names with a leading underscore).
write_import_library() {
  local dir=$1 arch=$2 dll=$3 library=$4
  local prefix=''
  [[ $arch == i686 ]] && prefix=_
  shift 4
  {
    echo "LIBRARY $dll"
    echo "EXPORTS"
    (cd "$dir" && "$arch-w64-mingw32-nm" --undefined-only --format=just-symbols "$@") |
      sed -e 's/^__imp_//' -e "s/^$prefix//" | grep -E '^_?Py' | sort -u
  } >"$dir/python.def.new"
  # Rewritten only when it changes, so that an unchanged module is not linked again.
  if ! cmp -s "$dir/python.def.new" "$dir/python.def"; then
    mv "$dir/python.def.new" "$dir/python.def"
    "$arch-w64-mingw32-dlltool" --input-def "$dir/python.def" --output-lib "$library"
  fi
  rm -f "$dir/python.def.new"
}

# What the .pyd exports and which DLLs it imports, as objdump reads its PE headers.
check_module() {
  local arch=$1 dll=$2 module=$3
  local headers format exports imports
  headers=$("$arch-w64-mingw32-objdump" -p "$module")
  format=$(awk '/file format/ { print $NF; exit }' <<<"$headers")
  exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
                 table && /^\t\[/ { print $NF; next }
                 table { table = 0 }' <<<"$headers" | paste -sd ' ')
  imports=$(awk '/DLL Name:/ { print $NF }' <<<"$headers" | paste -sd ' ')
  # Names listed under the python DLL's import entry.
  local names
  names=$(awk -v dll="${dll,,}" 'tolower($0) ~ "dll name: " dll { inside = 1; next }
                                /DLL Name:|^$/ { inside = 0 }
                                inside && NF == 3 && $1 ~ /^[0-9a-f]+$/ { n++ }
                                END { print n + 0 }' <<<"$headers")

  local faults=() wanted_format=pei-x86-64
  [[ $arch == i686 ]] && wanted_format=pei-i386
  [[ $format == "$wanted_format" ]] || faults+=("file format $format, not $wanted_format")
  [[ $exports == PyInit_tov_touch ]] || faults+=("exports $exports")
  [[ $names -gt 0 ]] || faults+=("imports nothing from $dll")
  # The C runtime and the kernel come with Windows; anything else (libstdc++-6.dll, libgcc_s_*.dll,
  # libwinpthread-1.dll) would have to be shipped beside the module.
  local each
  for each in $imports; do
    case ${each,,} in
      "${dll,,}" | kernel32.dll | msvcrt.dll) ;;
      *) faults+=("imports $each") ;;
    esac
  done
  if [[ ${#faults[@]} -gt 0 ]]; then
    printf "   $(basename "$module"): %s\n" "${faults[@]}"
    return 1
  fi
  echo "   $(basename "$module") ($format): exports $exports; imports ${imports// /, }" \
    "($names names from $dll)"
}

show_failure() {
  echo "   FAILED, from $1:"
  grep -E -A3 '(error|warning): ' "$1" | head -n 40 | sed 's/^/   | /'
}

fetch_headers

export CCACHE_DIR=$cache/ccache CCACHE_BASEDIR=$root
# The object file each source under touch/ must have in the module.
sources=$(cd touch && find . -name '*.cpp' |
  sed 's|^\./|CMakeFiles/tov_touch.dir/touch/|; s|$|.obj|' | sort)
failed=()
for arch in "${arches[@]}"; do
  for entry in "${pythons[@]}"; do
    version=${entry%%:*}
    tag=${version/./}
    dir=$build/$arch-$version
    dll=python$tag.dll
    library=$dir/libpython$tag.dll.a
    soabi=cp$tag-$([[ $arch == i686 ]] && echo win32 || echo win_amd64)
    echo "== $arch, CPython $version"
    if [[ ! -f $dir/build.ninja ]]; then
      mkdir -p "$dir"
      # CMake wants the library to exist; it is rewritten from the objects before the link.
      printf 'LIBRARY %s\nEXPORTS\n' "$dll" >"$dir/python.def"
      "$arch-w64-mingw32-dlltool" --input-def "$dir/python.def" --output-lib "$library"
      cmake -G Ninja -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DTOUCH_MINGW_ARCH="$arch" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Werror \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
        -DPython3_INCLUDE_DIR="$cache/python/$version/include" -DPython3_LIBRARY="$library" \
        -DPython3_SOABI="$soabi" >"$dir/configure.log"
    fi
    # Configured anew if CMakeLists.txt changed since, before its object list is read.
    cmake --build "$dir" --target build.ninja >/dev/null
    objects=$(module_objects "$dir")
    if [[ $objects != "$sources" ]]; then
      echo "   sources under touch/ that CMakeLists.txt does not build into the module:"
      comm -13 <(echo "$objects") <(echo "$sources") | sed 's|.*/touch/|     touch/|; s|\.obj$||'
      failed+=("$arch-$version")
      continue
    fi
    # Objects first: the import library is made from them, then the module is linked.
    # shellcheck disable=SC2086
    if ! cmake --build "$dir" -j2 --target $objects >"$dir/build.log" 2>&1; then
      show_failure "$dir/build.log"
      failed+=("$arch-$version")
      continue
    fi
    echo "   $(wc -l <<<"$objects") sources compiled with -Wall -Wextra -Werror"
    # shellcheck disable=SC2086
    write_import_library "$dir" "$arch" "$dll" "$library" $objects
    if ! cmake --build "$dir" --target tov_touch >>"$dir/build.log" 2>&1; then
      show_failure "$dir/build.log"
      failed+=("$arch-$version")
      continue
    fi
    check_module "$arch" "$dll" "$dir/tov_touch.$soabi.pyd" || failed+=("$arch-$version")
  done
done

echo
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "cross-windows: FAILED: ${failed[*]}"
  exit 1
fi
echo "cross-windows: ${#arches[@]} architectures x ${#pythons[@]} CPython versions passed"
