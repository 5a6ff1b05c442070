#!/usr/bin/env bash
# Remakes DefaultUser.jpg, the picture of a user without a head image, from its SVG source.
# The JPEG is kept in the repository so that the build needs no JPEG encoder; run this by hand
# after changing the SVG (needs rsvg-convert and the netpbm tools pngtopnm and pnmtojpeg).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
rsvg-convert -o "$tmp/user.png" "$here/DefaultUser.svg"
pngtopnm "$tmp/user.png" | pnmtojpeg --quality=90 --optimize > "$here/../DefaultUser.jpg"
