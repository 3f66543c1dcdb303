#!/usr/bin/env bash
# Renders the Win32 main and help windows under Wine for the README: docs/win32-main-window.png
# and docs/win32-help-window.png. Needs the cross-build (scripts/test.sh makes it), Xvfb,
# ImageMagick and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --windows
for tool in import xdotool; do
  command -v "$tool" >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends imagemagick xdotool >/dev/null
done
while IFS= read -r setting; do export "$setting"; done < <(scripts/wine-prefix.sh build-windows/wine-prefix)
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cp build-windows/src/rinvo.exe "$run/"
printf '"C:\\\\Users\\\\user\\\\Documents","D:\\\\Backup\\\\Documents"\r\n"C:\\\\Users\\\\user\\\\Pictures","D:\\\\Backup\\\\Pictures"\r\n' \
  | sed 's/\\\\/\\/g' >"$run/copyrule.txt"
export RUN="$run" DOCS="$PWD/docs"
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" sh -c '
  /usr/lib/wine/wine64 "$RUN/rinvo.exe" & sleep 5
  main=$(xdotool search --name "^Rinvo Ver5$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$main")"
  echo "main window at $X,$Y size $WIDTH x $HEIGHT"
  import -window root "$RUN/root.png"
  convert "$RUN/root.png" -crop "${WIDTH}x${HEIGHT}+0+0" +repage "$DOCS/win32-main-window.png"
  # The help button, at its twips position in the client area (96 DPI: 15 twips a pixel).
  # The frame and title bar of the virtual desktop put the client area 4 and 23 pixels in.
  xdotool mousemove $((X + 4 + 4320 / 15 + 30)) $((Y + 23 + 120 / 15 + 20)) click 1; sleep 2
  help=$(xdotool search --name "^Rinvoの使い方$" | head -1)
  xdotool windowmove "$help" 0 0; sleep 1
  eval "$(xdotool getwindowgeometry --shell "$help")"
  import -window root "$RUN/root.png"
  convert "$RUN/root.png" -crop "${WIDTH}x${HEIGHT}+0+0" +repage "$DOCS/win32-help-window.png"
  /usr/lib/wine/wineserver -k'
echo "wrote docs/win32-main-window.png and docs/win32-help-window.png"
