#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and only those
# that are missing. Quiet when everything is already there.
set -euo pipefail

# qt6-base-dev builds zorvex; qt6-qpa-plugins holds the offscreen platform its
# tests run on, and a font lets the offscreen windows lay their text out.
# The Python module's tests run on Debian's python3 with pytest, and the
# scale-out tests on Dask (python3-distributed) and GNU parallel; zsh checks
# zrtranslate's zsh completion.
packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libicu-dev
  qt6-base-dev qt6-qpa-plugins fonts-dejavu-core
  python3 python3-pytest python3-distributed parallel zsh)
# Extra groups, asked for by name: "bench" for the benchmarks (flex builds the
# baseline scanner they time against the engine), "screenshot" for a picture
# of the real window (a virtual X server and a capture tool), "packages" for
# the Debian packages (debhelper, dh-python, lintian; rsvg-convert draws the
# PNG icon) and the Python wheel (setuptools and wheel from Debian, a venv
# and pip to install it), "fuzz" for the fuzz targets (clang and its
# runtimes: libFuzzer, sanitizers), "lint" for the format and static-analysis
# checks (clang-format, clang-tidy), "web" for the browser playground
# (emscripten builds the engine to WebAssembly, unicode-data feeds its
# lower-case table, Chromium runs the page's test; Node.js and npm are taken
# as the machine has them).
for group in "$@"; do
  case "$group" in
    bench) packages+=(libbenchmark-dev flex python3) ;;
    screenshot) packages+=(xvfb xauth xdotool imagemagick) ;;
    packages) packages+=(dpkg-dev debhelper dh-python lintian librsvg2-bin python3-setuptools
      python3-wheel python3-venv python3-pip) ;;
    fuzz) packages+=(clang libclang-rt-dev) ;;
    lint) packages+=(clang-format clang-tidy) ;;
    web) packages+=(emscripten unicode-data chromium python3)
      command -v npm >/dev/null || packages+=(nodejs npm) ;;
    *) echo "install-deps.sh: unknown group '$group'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "install-deps.sh: need root to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
echo "install-deps.sh: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
