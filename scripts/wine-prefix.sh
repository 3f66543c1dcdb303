#!/usr/bin/env bash
# Makes a hermetic Wine prefix for the Windows tests in the folder given (default
# build-windows/wine-prefix in the project): fonts for the faces the windows name, a virtual
# desktop (no window manager waits), a Japanese locale of its own, and nothing written to the
# host's home.
# Prints the environment to export, one VAR=value a line.
set -euo pipefail
# A folder given is taken from where the script is called; the default lies in the build folder.
if [ $# -gt 0 ]; then prefix="$(realpath -m "$1")"; fi
cd "$(dirname "$0")/.."
prefix="${prefix:-$PWD/build-windows/wine-prefix}"
home="$prefix.home"
locales="$prefix.locales"
mkdir -p "$home" "$locales"
[ -d "$locales/ja_JP.UTF-8" ] || localedef -i ja_JP -c -f UTF-8 "$locales/ja_JP.UTF-8" 2>/dev/null || true
export WINEPREFIX="$prefix" HOME="$home" WINEDEBUG=-all LOCPATH="$locales"
{ export LC_ALL=ja_JP.UTF-8; } 2>/dev/null
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
wine=/usr/lib/wine/wine64
if [ ! -f "$prefix/.rinvo-ready" ]; then
  "$wine" wineboot --init >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w
  # No links from the prefix into the host's home folders.
  for d in "$prefix/drive_c/users/$(id -un)"/*; do
    if [ -L "$d" ]; then rm "$d"; mkdir "$d"; fi
  done
  ln -sf /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  r='HKCU\Software\Wine\Fonts\Replacements'
  for face in 'ＭＳ Ｐゴシック' 'MS PGothic' 'MS UI Gothic'; do
    "$wine" reg add "$r" /v "$face" /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
  done
  for face in 'ＭＳ ゴシック' 'MS Gothic'; do
    "$wine" reg add "$r" /v "$face" /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
  done
  "$wine" reg add "$r" /v Century /t REG_SZ /d C059 /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024 /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  touch "$prefix/.rinvo-ready"
fi
for var in WINEPREFIX HOME WINEDEBUG LOCPATH LC_ALL WINEDLLOVERRIDES; do
  echo "$var=${!var}"
done
