#!/bin/sh
# Regenerates docs/screenshots/*.png: the backdrop and the four dialogs, each shown
# by tests/forms/dialog_gallery on a 1024x768 Xvfb screen and captured with
# ImageMagick's import. Usage: tools/screenshots.sh BUILD_DIR
set -eu
build=${1:?usage: tools/screenshots.sh BUILD_DIR}
here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/docs/screenshots"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'Tavolin\r\n0\r\n' > "$work/Setup.dat"
export SETUP_PREFIX="$work/prefix" HOME="$work/home"
mkdir -p "$HOME"
for which in backdrop destination status completion prompt; do
  (cd "$work" && xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
    "'$build/tests/forms/dialog_gallery' $which 4 & sleep 2.5; import -window root '$out/$which.png'; wait")
  echo "$out/$which.png"
done
