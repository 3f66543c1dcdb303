#!/usr/bin/env bash
# Makes the Windows packages from the cross-build (scripts/test.sh makes it) into
# build-windows/package: a portable zip (rinvo.exe, rinvo.com and a Japanese read-me; the rule
# file appears beside the program on the first save) and a per-user NSIS installer.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v makensis >/dev/null && command -v zip >/dev/null || {
  sudo_cmd=(); [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends nsis zip
}
version=$(sed -n 's/^project(Rinvo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
build="$PWD/build-windows/src"
out="$PWD/build-windows/package"
rm -rf "$out"
mkdir -p "$out/Rinvo"
cp "$build/rinvo.exe" "$build/rinvo.com" "$out/Rinvo/"
sed 's/$/\r/' LICENSE >"$out/Rinvo/LICENSE.txt"
# Notepad reads UTF-8 with a byte-order mark and CR LF line ends on every Windows.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' packaging/windows/readme.txt; } >"$out/Rinvo/readme.txt"
(cd "$out" && zip -q -9 -r "rinvo-$version-windows.zip" Rinvo)
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DBUILD="$build" -DLICENSE="$out/Rinvo/LICENSE.txt" \
  -DREADME="$out/Rinvo/readme.txt" -DOUT="$out/rinvo-$version-setup.exe" packaging/windows/rinvo.nsi
ls -l "$out"/*.zip "$out"/*.exe
