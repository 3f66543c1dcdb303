#!/bin/sh
# The command line "rinvo" (its path is the argument) never loads Qt; given no arguments it
# becomes the window program beside it, and says why where that cannot start.
set -eu
rinvo="$1"
tmp=$(mktemp -d)
tmp=$(cd "$tmp" && pwd -P)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
# The runs keep their logs, settings and indexes here, not in the user's folders.
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_STATE_HOME="$tmp/state" \
  XDG_CACHE_HOME="$tmp/cache"
mkdir -p "$HOME"

fail() { echo "FAIL: $*" >&2; exit 1; }

# The dynamic loader names every library it loads.
mkdir -p "$tmp/src"
echo data >"$tmp/src/a.txt"
loads_qt() {
  LD_DEBUG=libs "$rinvo" "$@" >/dev/null 2>"$tmp/loaded" || true
  grep -q 'calling init' "$tmp/loaded" || fail "the loader told nothing for rinvo $*"
  grep -q 'libQt6' "$tmp/loaded"
}
! loads_qt --version || fail "rinvo --version loaded Qt"
! loads_qt --help || fail "rinvo --help loaded Qt"
! loads_qt copy "$tmp/src" "$tmp/dst" || fail "rinvo copy loaded Qt"
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
pid=

# Alone in a folder, it tells which program it could not start.
mkdir "$tmp/alone"
cp "$rinvo" "$tmp/alone/rinvo"
status=0
"$tmp/alone/rinvo" 2>"$tmp/err" || status=$?
[ "$status" = 127 ] || fail "status $status without the window program"
grep -qF "ウィンドウのプログラムを起動できませんでした: $tmp/alone/rinvo-window: " "$tmp/err" \
  || fail "unexpected message: $(cat "$tmp/err")"
echo "rinvo: no Qt on the command line; the window program starts beside it"
