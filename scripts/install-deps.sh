#!/usr/bin/env bash
# Installs the Debian packages that building and testing Markograph need,
# and nothing when they are all present already.
#   --clang  also clang with libFuzzer and the sanitizer runtimes, and the
#            symbolizer that makes their reports readable: the fuzz targets
#            and the sanitizer build need them (./test.sh, fuzz/run-long.sh)
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  lld                            # links the programs faster than the default linker
  qt6-base-dev qt6-qpa-plugins
  qt6-svg-dev qt6-image-formats-plugins  # picture import: SVG drawings, TIFF and WebP
  zlib1g-dev                     # picture import: compressed drawings (.svgz)
  libgtest-dev libgmock-dev
  groff-base desktop-file-utils  # the package test checks man pages and the menu entry
  fonts-liberation2              # Arial-compatible metrics for the dialog templates
  ansible-core                   # the Ansible role's test runs ansible-playbook
  libqrencode-dev fonts-dejavu-core  # compose: QR codes, and the default text font
  libzbar-dev                    # compose test: reads the QR codes back from the virtual printer
)
for arg in "$@"; do
  case $arg in
    --clang) packages+=(clang-14 libclang-rt-14-dev llvm-14) ;;
    *) echo "usage: $0 [--clang]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
