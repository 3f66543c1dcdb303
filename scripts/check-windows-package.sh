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
for file in rinvo.exe rinvo.com LICENSE.txt uninstall.exe; do
  [ -f "$installed/$file" ] || { echo "not installed: $file" >&2; exit 1; }
done
[ -n "$(ls "$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Rinvo/")" ] \
  || { echo "no Start-menu shortcut" >&2; exit 1; }

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
rm -rf "$installed" "$WINEPREFIX/drive_c/rinvo-check"
echo "Windows installer: installs, runs from its folder, uninstalls keeping the rules"
