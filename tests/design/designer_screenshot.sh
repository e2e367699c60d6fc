#!/bin/sh
# Runs the designer program on a new form file and keeps its screenshot:
#   designer_screenshot.sh ARTEFACT_DIR COMMAND... (the designer, maybe behind xvfb-run)
# The program must create the form holding a TVellix and write the picture.
set -eu
dir=$1
shift
mkdir -p "$dir"
rm -f "$dir/program.vfm" "$dir/designer-program.png"
"$@" --screenshot "$dir/designer-program.png" "$dir/program.vfm"
test -s "$dir/designer-program.png"
grep -q '^object Vellix1: TVellix$' "$dir/program.vfm"
grep -q "^  PaperSizeName = 'A4'$" "$dir/program.vfm"
