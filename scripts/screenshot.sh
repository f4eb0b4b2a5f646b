#!/usr/bin/env bash
# Takes a picture of zorvex after a run of the bundled example: starts the
# program under a virtual X server, presses go, waits for the result, closes
# the editor window that go opened with Esc (its text goes back to the console
# pane) and saves the main window as a PNG (default: docs/zorvex.png): the
# highlighted schema and the source with their line numbers, the console with
# the run's lines and the result.
#
#   scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/zorvex.png}")
build=${BUILD:-build}

scripts/install-deps.sh screenshot
make --no-print-directory BUILD="$build" "$build/build.ninja" >/dev/null
cmake --build "$build" --target zorvex >/dev/null

# The program runs in a home of its own, so the picture never depends on the
# preferences of an earlier session in the source tree.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/example/vbs_c"
cp example/vbs_c/s.txt example/vbs_c/reallife.inc "$home/example/vbs_c/"
mkdir -p "$(dirname "$out")"

# Its window settings too: the picture shows the default window.
export XDG_CONFIG_HOME=$home/config
export ZORVEX_HOME=$home ZORVEX=$(realpath "$build/frontend/qt/zorvex") OUT=$out
xvfb-run --auto-servernum --server-args="-screen 0 1280x960x24" bash -c '
  set -euo pipefail
  # Waits up to 60 seconds for a condition.
  wait_until() {
    for _ in $(seq 600); do
      if eval "$1"; then return 0; fi
      sleep 0.1
    done
    echo "screenshot.sh: gave up waiting for: $1" >&2
    return 1
  }
  "$ZORVEX" example/vbs_c/s.txt example/vbs_c/reallife.inc &
  program=$!
  trap "kill $program 2>/dev/null || true" EXIT
  wait_until "xdotool search --onlyvisible --name \"^zorvex\" >/dev/null"
  window=$(xdotool search --onlyvisible --name "^zorvex" | head -1)
  # The start-up task has loaded the panes once the folder d exists.
  wait_until "test -d \"$ZORVEX_HOME/d\""
  sleep 1
  # Show the schema where its nests begin: Ctrl+G in the schema pane.
  xdotool mousemove --window "$window" 200 200 click 1
  sleep 0.5
  xdotool key --clearmodifiers ctrl+g
  sleep 1
  xdotool key --clearmodifiers ctrl+a type 110
  xdotool key --clearmodifiers Return
  sleep 0.5
  # Press go through its accelerator, Alt+G.
  xdotool windowfocus --sync "$window" key --clearmodifiers alt+g
  wait_until "test -f \"$ZORVEX_HOME/d/zrresult.txt\""
  sleep 1
  # Esc in the editor window (captioned "console: ...") closes it.
  editor=$(xdotool search --onlyvisible --name "^console: " | head -1)
  xdotool windowfocus --sync "$editor" key --clearmodifiers Escape
  wait_until "! xdotool search --onlyvisible --name \"^console: \" >/dev/null"
  sleep 1
  eval "$(xdotool getdisplaygeometry --shell)"
  xdotool mousemove $((WIDTH - 1)) $((HEIGHT - 1))
  sleep 0.5
  import -window "$window" "$OUT"
  kill "$program"
  wait "$program" || true
'
echo "screenshot.sh: wrote $out"
