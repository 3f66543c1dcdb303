#!/bin/sh
# The command line "rinvo" (its path is the argument) never loads Qt; given no arguments it
# becomes the window program beside it, and says why where that cannot start.
set -eu
rinvo="$1"
tmp=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$tmp"' EXIT
pid=

fail() { echo "FAIL: $*" >&2; exit 1; }

# The dynamic loader names every library it loads.
mkdir -p "$tmp/src"
echo data >"$tmp/src/a.txt"
for command in "--version" "--help" "copy $tmp/src $tmp/dst"; do
  # shellcheck disable=SC2086
  LD_DEBUG=libs "$rinvo" $command >/dev/null 2>"$tmp/loaded" || true
  grep -q 'calling init' "$tmp/loaded" || fail "the loader told nothing for rinvo $command"
  ! grep -q 'libQt6' "$tmp/loaded" || fail "rinvo $command loaded Qt"
done
[ "$(cat "$tmp/dst/a.txt")" = data ] || fail "rinvo copy did not copy"

# Without arguments the process becomes the window program, which has Qt's widgets loaded.
QT_QPA_PLATFORM=offscreen "$rinvo" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do
  if [ "$(basename "$(readlink "/proc/$pid/exe" 2>/dev/null)")" = rinvo-window ] \
    && grep -q libQt6Widgets "/proc/$pid/maps" 2>/dev/null; then
    break
  fi
  sleep 0.1
done
[ "$(basename "$(readlink "/proc/$pid/exe")")" = rinvo-window ] || fail "no window program started"
grep -q libQt6Widgets "/proc/$pid/maps" || fail "the window program has no widgets loaded"
kill "$pid"
wait "$pid" 2>/dev/null || true

# Alone in a folder, it tells which program it could not start.
mkdir "$tmp/alone"
cp "$rinvo" "$tmp/alone/rinvo"
status=0
"$tmp/alone/rinvo" 2>"$tmp/err" || status=$?
[ "$status" = 1 ] || fail "status $status without the window program"
grep -qF "ウィンドウのプログラムを起動できませんでした: $tmp/alone/rinvo-window: " "$tmp/err" \
  || fail "unexpected message: $(cat "$tmp/err")"
echo "rinvo: no Qt on the command line; the window program starts beside it"
