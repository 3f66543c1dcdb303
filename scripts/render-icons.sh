#!/usr/bin/env bash
# Renders the project's icon (packaging/icons/rinvo.svg) to the PNG sizes of the desktop and
# the windows, and to the Windows icon file, with Debian's rsvg-convert and icotool. The results
# are kept in packaging/icons/ beside the drawing; run again after changing it.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null && command -v icotool >/dev/null || {
  sudo_cmd=(); [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    librsvg2-bin icoutils
}
icons=packaging/icons
pngs=()
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$icons/rinvo.svg" -o "$icons/rinvo-$size.png"
  pngs+=("$icons/rinvo-$size.png")
done
# The Windows icon keeps the small sizes as bitmaps and 256 as PNG, as Windows expects.
icotool -c -o "$icons/rinvo.ico" "${pngs[@]:0:6}" -r "$icons/rinvo-256.png"
ls -l "$icons"
