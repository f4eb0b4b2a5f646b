#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what lands there: the
# programs run from it, the library carries its SONAME, and small C and C++
# hosts build against the installed headers and library, once through
# pkg-config and once through find_package(zrdll).
# Usage: check-install.sh BUILD_DIR gui|no-gui
set -euo pipefail
build=$1
mode=$2
here=$(cd "$(dirname "$0")/.." && pwd)
python=${ZR_PYTHON:-/usr/bin/python3}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix

fail() {
  echo "check-install: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log" >&2; fail "install failed"; }

lib=$(find "$prefix" -name 'libzrdll.so.*.*.*' -type f)
[[ -n "$lib" ]] || fail "no versioned libzrdll.so installed"
libdir=$(dirname "$lib")
soname=$(objdump -p "$lib" | awk '$1 == "SONAME" { print $2 }')
[[ "$soname" == libzrdll.so.1 ]] || fail "SONAME is '$soname', not libzrdll.so.1"
[[ -L "$libdir/libzrdll.so.1" && -L "$libdir/libzrdll.so" ]] || fail "library links missing"

expected=(bin/zrtranslate include/zrdll/zrcomp.h include/zrdll/zrdll_c.h share/man/man1/zrtranslate.1
  share/zorvex/example/vbs_c/s.txt share/zorvex/example/vbs_c/reallife.inc
  lib/python3/dist-packages/zorvex/__init__.py lib/python3/dist-packages/zorvex/dask.py
  lib/python3/dist-packages/zorvex/py.typed share/doc/zorvex/LICENSE
  share/doc/zorvex/embedding.md share/doc/zorvex/examples/example.c share/doc/zorvex/examples/example.cpp
  share/bash-completion/completions/zrtranslate share/zsh/site-functions/_zrtranslate)
if [[ "$mode" == gui ]]; then
  expected+=(bin/zorvex share/man/man1/zorvex.1 share/applications/zorvex.desktop
    libexec/zorvex/start-zorvex share/icons/hicolor/scalable/apps/zorvex.svg)
fi
for file in "${expected[@]}"; do
  [[ -e "$prefix/$file" ]] || fail "$file not installed"
done

# The installed programs find the installed library, not the build's.
for program in "$prefix"/bin/*; do
  loaded=$(ldd "$program" | awk '$1 == "libzrdll.so.1" { print $3 }')
  [[ -n "$loaded" && $(realpath "$loaded") == $(realpath "$lib") ]] || fail "$program loads '$loaded', not $lib"
done
example=$prefix/share/zorvex/example/vbs_c
"$prefix/bin/zrtranslate" "$example/s.txt" "$example/reallife.inc" >"$tmp/reallife.c" 2>/dev/null
cmp -s "$tmp/reallife.c" "$example/expected.c" || fail "installed zrtranslate translates the example differently"

# The installed headers alone: nothing from the source tree is on the paths.
export PKG_CONFIG_PATH=$libdir/pkgconfig
[[ $(pkg-config --modversion zrdll) == 1.0.0 ]] || fail "pkg-config reports another version"
flags=$(pkg-config --cflags --libs zrdll)
cc -std=c11 -Wall -Werror "$here/tests/install/consumer.c" $flags -Wl,-rpath,"$libdir" -o "$tmp/c_host"
c++ -std=c++20 -Wall -Werror "$here/tests/install/consumer.cpp" $flags -Wl,-rpath,"$libdir" -o "$tmp/cxx_host"
"$tmp/c_host" && "$tmp/cxx_host" || fail "hosts built through pkg-config failed"

cmake -S "$here/tests/install" -B "$tmp/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$tmp/consumer.log" ||
  { cat "$tmp/consumer.log" >&2; fail "find_package(zrdll) failed"; }
cmake --build "$tmp/consumer" >>"$tmp/consumer.log" || { cat "$tmp/consumer.log" >&2; fail "hosts through find_package do not build"; }
"$tmp/consumer/c_host" && "$tmp/consumer/cxx_host" || fail "hosts built through find_package failed"

# The embedding guide's examples as installed: the C one built through
# pkg-config, the C++ one through find_package(zrdll) and their CMake file.
# Each prints the library's version and, for a failed run, the error number
# and the FILE:LINE:COLUMN: error: line zrtranslate reports for the same files.
examples=$prefix/share/doc/zorvex/examples
cc -std=c11 -Wall -Werror "$examples/example.c" $flags -Wl,-rpath,"$libdir" -o "$tmp/example_c" ||
  fail "the C example does not build through pkg-config"
cmake -S "$examples" -B "$tmp/examples" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$tmp/examples.log" &&
  cmake --build "$tmp/examples" >>"$tmp/examples.log" ||
  { cat "$tmp/examples.log" >&2; fail "the examples do not build through find_package"; }
for program in "$tmp/example_c" "$tmp/examples/example_cpp"; do
  "$program" >"$tmp/example.out" 2>/dev/null || fail "$program failed: $(cat "$tmp/example.out")"
  [[ $(head -1 "$tmp/example.out") == "zrdll 1.0.0"* ]] || fail "$program prints no version"
  grep -qx 'onetwothree\.' "$tmp/example.out" || fail "$program prints no result"
  grep -q '^source:1:[0-9]*: error: user ordered to terminate' "$tmp/example.out" ||
    fail "$program: the stopped run: $(cat "$tmp/example.out")"
done
failing=$here/docs/examples/24-not-understood
status=0
(cd "$failing" && "$prefix/bin/zrtranslate" schema source) >/dev/null 2>"$tmp/cli.err" || status=$?
[[ $status -eq 1 ]] || fail "zrtranslate on the failing case ended with status $status"
cli_number=$(grep -ao '^[0-9]* \* ' "$tmp/cli.err" | head -1 | cut -d' ' -f1)
cli_line=$(grep -a ': error: ' "$tmp/cli.err")
for program in "$tmp/example_c" "$tmp/examples/example_cpp"; do
  status=0
  (cd "$failing" && "$program" schema source) >"$tmp/example.out" 2>/dev/null || status=$?
  [[ $status -eq 1 ]] || fail "$program on the failing case ended with status $status"
  [[ $(sed -n 2p "$tmp/example.out") == "error $cli_number" ]] ||
    fail "$program reports '$(sed -n 2p "$tmp/example.out")', zrtranslate error $cli_number"
  [[ $(sed -n 3p "$tmp/example.out") == "$cli_line" ]] ||
    fail "$program reports '$(sed -n 3p "$tmp/example.out")', zrtranslate '$cli_line'"
done

# The installed Python module finds the library of its own prefix.
env -u ZRDLL_LIBRARY PYTHONPATH="$prefix/lib/python3/dist-packages" PYTHONDONTWRITEBYTECODE=1 "$python" -c '
import zorvex
assert zorvex.__version__ == "1.0.0", zorvex.__version__
assert zorvex.translate("\\\\schema main\n-r\n  _hello `Hi` 1 -e\n\\\\end schema\n\\\\end file\n", "hello") == "Hi"
print("python host ok")' || fail "the installed Python module failed"

if [[ "$mode" == gui ]]; then
  exec_line=$(grep '^Exec=' "$prefix/share/applications/zorvex.desktop")
  [[ "$exec_line" == "Exec=$prefix/libexec/zorvex/start-zorvex %f" ]] || fail "desktop entry: $exec_line"
  # The launcher gives the program a home of its own with the example in it;
  # the program keeps running (unattended) until it is stopped.
  status=0
  env -u ZORVEX_HOME -u XDG_DATA_HOME HOME="$tmp/home" QT_QPA_PLATFORM=offscreen \
    timeout 5 "$prefix/libexec/zorvex/start-zorvex" \
    example/vbs_c/s.txt example/vbs_c/reallife.inc no_gui >/dev/null 2>&1 || status=$?
  [[ $status -eq 124 ]] || fail "zorvex started from the desktop entry ended with status $status"
  cmp -s "$tmp/home/.local/share/zorvex/example/vbs_c/s.txt" "$example/s.txt" ||
    fail "the launcher did not give zorvex the example"
fi
echo "install ok"
