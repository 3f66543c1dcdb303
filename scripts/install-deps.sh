#!/usr/bin/env bash
# Installs the Debian 12 packages Rinvo needs that are not there yet.
#   scripts/install-deps.sh          what building and starting the program needs
#   scripts/install-deps.sh --test   also what the tests need (ext4 images for the power cuts, FAT
#                                    and NTFS volumes through FUSE,
#                                    clang for the fuzzer, the .deb's checks)
#   scripts/install-deps.sh --bench  also the tools the benchmark compares against, and an SSH
#                                    server and sshfs for its network share, liburing to measure
#                                    batched look-ups
#   scripts/install-deps.sh --windows  also the MinGW-w64 cross compiler, Wine, its fonts, an X
#                                      server for the window tests, and NSIS and zip to package
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev qt6-base-dev
  qt6-translations-l10n fonts-ipafont-gothic fonts-urw-base35)
for arg in "$@"; do
  case "$arg" in
    --test) packages+=(dosfstools e2fsprogs fuse3 fusefat ntfs-3g clang-14 libclang-rt-14-dev lintian desktop-file-utils
                       appstream dpkg-dev man-db devscripts xvfb xauth openbox wmctrl) ;;
    --bench) packages+=(rsync strace time linux-perf openssh-server openssh-client sshfs liburing-dev) ;;
    --windows) packages+=(g++-mingw-w64-x86-64-posix wine64 fonts-wine xvfb xauth locales nsis zip) ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
