#!/usr/bin/env bash
# Checks the Windows installer under Wine (the prefix's environment exported, as
# scripts/test.sh does): a silent install puts the program in the per-user folder, its console
# companion reads a rule file beside it, and a silent uninstall leaves only that rule file.
set -euo pipefail
cd "$(dirname "$0")/.."
wine=/usr/lib/wine/wine64
setup=$(ls build-windows/package/rinvo-*-setup.exe)
user=$(id -un)
installed="$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/Rinvo"
rm -rf "$installed" "$WINEPREFIX/drive_c/rinvo-check"
"$wine" "$setup" /S </dev/null
/usr/lib/wine/wineserver -w
for file in rinvo.exe rinvo.com LICENSE.txt readme.txt uninstall.exe; do
  [ -f "$installed/$file" ] || { echo "not installed: $file" >&2; exit 1; }
done
menu="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Rinvo"
for link in Rinvo.lnk "Rinvo の説明.lnk"; do
  [ -f "$menu/$link" ] || { echo "no Start-menu shortcut $link" >&2; exit 1; }
done
# The Apps & features entry: the program's icon, publisher, version and size.
entry=$("$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Rinvo' </dev/null 2>/dev/null | tr -d '\r')
version=$(sed -n 's/^project(Rinvo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }
for value in 'DisplayIcon.*rinvo\.exe,0' 'Publisher.*Rinvo developers' "DisplayVersion.*REG_SZ.*$version\$" \
  'EstimatedSize.*REG_DWORD.*0x[1-9a-f][0-9a-f]*'; do
  grep -q "$value" <<<"$entry" || { echo "the uninstall entry lacks $value:" >&2; echo "$entry" >&2; exit 1; }
done

mkdir -p "$WINEPREFIX/drive_c/rinvo-check/src"
echo data >"$WINEPREFIX/drive_c/rinvo-check/src/report.txt"
printf '"C:\\rinvo-check\\src","C:\\rinvo-check\\dst"\r\n' >"$installed/copyrule.txt"
output=$(cd "$installed" && "$wine" rinvo.com run --dry-run --create-missing </dev/null 2>&1 || true)
grep -q 'report.txt' <<<"$output" || { echo "the dry run did not read the rule file:" >&2; echo "$output" >&2; exit 1; }
[ ! -e "$WINEPREFIX/drive_c/rinvo-check/dst" ] || { echo "the dry run wrote" >&2; exit 1; }

"$wine" "$installed/uninstall.exe" /S </dev/null
/usr/lib/wine/wineserver -w
left=$(ls -A "$installed")
[ "$left" = "copyrule.txt" ] || { echo "the uninstaller left: $left" >&2; exit 1; }
if "$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Rinvo' </dev/null >/dev/null 2>&1; then
  echo "the uninstaller left its Apps & features entry" >&2; exit 1
fi
[ ! -e "$menu" ] || { echo "the uninstaller left the Start-menu folder" >&2; exit 1; }
rm -rf "$installed" "$WINEPREFIX/drive_c/rinvo-check"
echo "Windows installer: installs, runs from its folder, uninstalls keeping the rules"
