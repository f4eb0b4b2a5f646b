#!/usr/bin/env bash
# Uses the Debian packages in dist/deb/ (make deb) and the Python wheel as a
# user would, from a folder outside the checkout. Installs the packages with
# apt-get; runs zrtranslate on the installed example, builds C and C++ hosts
# through pkg-config and find_package(zrdll), translates with the system
# python3, starts the desktop program; checks that zrtranslate pulls in no Qt;
# purges the packages and checks that nothing of theirs is left in /usr. Then
# builds the wheel, installs it into a fresh venv and translates with it.
# Every version seen must be the packages' one.
# Usage: check-packages.sh   (as root, or with sudo at hand)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
python=${PYTHON:-/usr/bin/python3}
"$here/scripts/install-deps.sh" packages

fail() {
  echo "check-packages: $*" >&2
  exit 1
}

as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive

shopt -s nullglob
debs=("$here"/dist/deb/*.deb)
[[ ${#debs[@]} -eq 5 ]] || fail "expected five packages in dist/deb/, found ${#debs[@]} (run make deb)"
names=()
for deb in "${debs[@]}"; do names+=("$(dpkg-deb -f "$deb" Package)"); done
version=$(dpkg-deb -f "$here"/dist/deb/zrtranslate_*.deb Version)

installed_names() {
  local name
  for name in "${names[@]}"; do
    [[ $(dpkg-query -W -f='${Status}' "$name" 2>/dev/null) == *" installed" ]] && echo "$name"
  done
  return 0
}
purge() {
  local present
  mapfile -t present < <(installed_names)
  [[ ${#present[@]} -eq 0 ]] || "${as_root[@]}" apt-get purge -y -qq "${present[@]}" >/dev/null
}

tmp=$(mktemp -d)
trap 'purge; rm -rf "$tmp"' EXIT
cd "$tmp"

# What /usr holds of ours before: nothing, once a package left from an
# earlier run is gone.
ours() {
  find /usr \( -path '*zorvex*' -o -path '*zrdll*' -o -path '*zrtranslate*' \) -print 2>/dev/null | sort
}
purge
ours >before

"${as_root[@]}" apt-get install -y -qq "${debs[@]}" >install.log 2>&1 || { cat install.log >&2; fail "apt-get install failed"; }

# The command line on a server: no Qt anywhere below zrtranslate.
if apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances zrtranslate | grep -q 'libqt6'; then
  fail "zrtranslate's package depends on Qt"
fi

[[ $(zrtranslate --version) == "zrtranslate $version" ]] || fail "zrtranslate --version: $(zrtranslate --version)"
example=/usr/share/zorvex/example/vbs_c
zrtranslate "$example/s.txt" "$example/reallife.inc" >reallife.c 2>/dev/null
cmp -s reallife.c "$example/expected.c" || fail "the installed example translates differently"

# Hosts of the library, built against the installed files only.
cp -R "$here/tests/install" consumer
[[ $(pkg-config --modversion zrdll) == "$version" ]] || fail "pkg-config reports version $(pkg-config --modversion zrdll)"
# shellcheck disable=SC2046 # the flags are words
cc -std=c11 -Wall -Werror consumer/consumer.c $(pkg-config --cflags --libs zrdll) -o c_host
./c_host >/dev/null || fail "the C host built through pkg-config failed"
cmake -S consumer -B consumer-build -G Ninja >consumer.log 2>&1 &&
  cmake --build consumer-build >>consumer.log 2>&1 || { cat consumer.log >&2; fail "no hosts through find_package(zrdll)"; }
consumer-build/cxx_host >/dev/null || fail "the C++ host built through find_package(zrdll) failed"

# A translation through the module, run the way the Python test suite runs
# it: the schema prints "Hi" for the source "hello".
translate_hello='
import sys, zorvex
print(zorvex.__version__)
result = zorvex.translate("\\\\schema main\n-r\n  _hello `Hi` 1 -e\n\\\\end schema\n\\\\end file\n", "hello")
assert result == "Hi", repr(result)
print(zorvex._engine_library()._name)'
mapfile -t seen < <(env -u PYTHONPATH -u ZRDLL_LIBRARY /usr/bin/python3 -c "$translate_hello") ||
  fail "the system python3 cannot translate with the zorvex module"
[[ "${seen[0]}" == "$version" && "${seen[1]}" == libzrdll.so.1 ]] || fail "system python3: ${seen[*]}"

# The desktop program from its desktop entry's launcher keeps running
# (unattended, without a display) until it is stopped.
grep -qx 'Exec=/usr/libexec/zorvex/start-zorvex %f' /usr/share/applications/zorvex.desktop || fail "desktop entry's Exec"
[[ -f /usr/share/icons/hicolor/scalable/apps/zorvex.svg && -f /usr/share/icons/hicolor/256x256/apps/zorvex.png ]] ||
  fail "icons missing"
status=0
env -u ZORVEX_HOME -u XDG_DATA_HOME HOME="$tmp/home" QT_QPA_PLATFORM=offscreen timeout 5 \
  /usr/libexec/zorvex/start-zorvex example/vbs_c/s.txt example/vbs_c/reallife.inc no_gui >/dev/null 2>&1 || status=$?
[[ $status -eq 124 ]] || fail "zorvex ended with status $status"

purge
ours >after
left=$(comm -13 before after)
[[ -z "$left" ]] || fail "left in /usr after the purge: $left"

# The wheel, in a fresh venv that also sees the system's packages: it loads
# the library it carries, with nothing set.
"$python" -m pip wheel -q --no-build-isolation --no-deps -w wheel "$here/python/" >wheel.log 2>&1 ||
  { cat wheel.log >&2; fail "the wheel does not build"; }
wheels=(wheel/zorvex-"$version"-*.whl)
[[ ${#wheels[@]} -eq 1 ]] || fail "no wheel of version $version: $(ls wheel)"
"$python" -m venv --system-site-packages venv
venv/bin/python -m pip install -q --no-index --no-deps "${wheels[0]}" || fail "the wheel does not install"
mapfile -t seen < <(env -u PYTHONPATH -u ZRDLL_LIBRARY venv/bin/python -c "$translate_hello") ||
  fail "the wheel's module cannot translate"
[[ "${seen[0]}" == "$version" && "${seen[1]}" == "$tmp"/venv/lib/python3*/site-packages/zorvex/libzrdll.so.1 ]] ||
  fail "wheel: ${seen[*]}"
echo "packages ok: ${names[*]} $version, and the wheel"
