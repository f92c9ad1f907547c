#!/usr/bin/env bash
# A second copy of the program shows "Terminating..." on a real X server and ends once it is closed;
# the first copy keeps running.
# Usage: bash single_instance.sh <path-to-brivamo>
set -euo pipefail
BINARY="$(readlink -f "$1")"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -m 700 "$WORK/runtime"

cat > "$WORK/inner.sh" <<'INNER'
set -euo pipefail
BINARY="$1"
WORK="$2"
export XDG_RUNTIME_DIR="$WORK/runtime" HOME="$WORK" XDG_CONFIG_HOME="$WORK/config" QT_QPA_PLATFORM=xcb
cd "$WORK"
"$BINARY" & first=$!
trap 'kill $first 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -e "$WORK/runtime/brivamo.lock" ] && break; sleep 0.1; done
[ -e "$WORK/runtime/brivamo.lock" ] || { echo "first copy took no lock"; exit 1; }

"$BINARY" & second=$!
box=""
for _ in $(seq 100); do
  box=$(xdotool search --onlyvisible --name '^Terminating\.\.\.$' 2>/dev/null | head -n 1 || true)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || { echo "no Terminating... box"; exit 1; }
kill -0 "$second" || { echo "second copy ended before its box was closed"; exit 1; }
xdotool windowfocus --sync "$box" 2>/dev/null || true
xdotool key Return
for _ in $(seq 100); do kill -0 "$second" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$second" 2>/dev/null; then echo "second copy still running"; kill "$second"; exit 1; fi
kill -0 "$first" || { echo "first copy ended"; exit 1; }
echo "ok"
INNER

xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$WORK/inner.sh" "$BINARY" "$WORK"
