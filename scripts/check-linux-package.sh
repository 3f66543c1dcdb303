#!/usr/bin/env bash
# Builds the .deb from the build folder given (default build) and checks it as a packager and a
# user would: the desktop entry, the metainfo and the manual page validate, lintian finds no
# error, and the installed tree (extracted, not installed) run as an unprivileged user keeps its
# rules in that user's settings folder and writes nothing beside the program.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
rm -rf "$build/package"
(cd "$build" && cpack >/dev/null)
deb=$(ls "$build"/package/rinvo_*.deb)

desktop-file-validate packaging/linux/jp.rinvo.Rinvo.desktop
appstreamcli validate --no-net "$build/packaging/linux/jp.rinvo.Rinvo.metainfo.xml" >/dev/null
warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l packaging/linux/rinvo.1 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "the manual page has warnings: $warnings" >&2; exit 1; }
if ! report=$(lintian --fail-on error --suppress-tags initial-upload-closes-no-bugs "$deb" 2>&1); then
  echo "lintian found errors:" >&2
  echo "$report" >&2
  exit 1
fi

tree=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$tree" "$home"' EXIT
dpkg-deb -x "$deb" "$tree"
chmod 755 "$tree"
chown nobody:nogroup "$home"
as_user() { setpriv --reuid=nobody --regid=nogroup --clear-groups env -u XDG_CONFIG_HOME -u XDG_STATE_HOME HOME="$home" "$@"; }
program="$tree/usr/bin/rinvo"
# Built with the distribution's hardening: PIE, stack protector, fortify, full RELRO, BIND_NOW
# (control flow protection is not among Debian 12's defaults).
for binary in "$program" "$program-window"; do
  hardening-check --quiet --nocfprotection "$binary" \
    || { hardening-check --nocfprotection "$binary" >&2; exit 1; }
done
# The command line a timer runs needs none of the window's libraries.
needed=$(readelf -d "$program")
if grep -q 'NEEDED.*libQt6' <<<"$needed"; then echo "rinvo links Qt" >&2; exit 1; fi
grep -qx 'Exec=rinvo-window' "$tree/usr/share/applications/jp.rinvo.Rinvo.desktop" \
  || { echo "the desktop entry does not start the window program" >&2; exit 1; }
[ "$(as_user "$program" --version)" = "rinvo $(sed -n 's/^project(Rinvo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" ]
as_user "$program" --help | grep -qF "設定ファイル: $home/.config/rinvo/copyrule.txt"
as_user mkdir -p "$home/.config/rinvo" "$home/documents"
as_user sh -c "echo report >'$home/documents/report.txt'"
as_user sh -c "printf '\"%s\",\"%s\"\r\n' '$home/documents' '$home/backup/documents' >'$home/.config/rinvo/copyrule.txt'"
as_user "$program" run --create-missing >/dev/null
[ "$(cat "$home/backup/documents/report.txt")" = report ]
# The run kept its log in the user's state folder.
grep -qF "$home/documents → $home/backup/documents" "$home"/.local/state/rinvo/logs/*.log \
  || { echo "the run kept no log in ~/.local/state/rinvo/logs" >&2; exit 1; }
[ "$(ls -A "$tree/usr/bin" | tr '\n' ' ')" = "rinvo rinvo-window " ] \
  || { echo "something was written beside the program" >&2; exit 1; }
echo "Linux package: validates, passes lintian, keeps an installed user's rules in ~/.config/rinvo and its logs in ~/.local/state/rinvo/logs"
