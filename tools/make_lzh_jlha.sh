#!/usr/bin/env bash
# Makes an LHA archive with jlha (jlha-utils) from files of a folder, with their
# names written in code page 932, as the installer's packages carry them.
#
#   tools/make_lzh_jlha.sh OPTIONS ARCHIVE FOLDER NAME...
#
# OPTIONS are jlha's letters after "c": the header level, then "o5", "o6", "o7"
# (-lh5-, -lh6-, -lh7-) or "z" (stored, -lh0-): "2o5", "0z", "1o7". jlha writes
# header levels 0, 1 and 2; small files that do not shrink are stored as -lh0-.
# NAMEs are relative to FOLDER (folders are taken whole); ARCHIVE is made anew.
set -euo pipefail

if [ $# -lt 4 ]; then
  sed -n '2,10p' "$0" >&2
  exit 2
fi
options=$1
archive=$(realpath -m "$2")
folder=$3
shift 3
rm -f "$archive"
cd "$folder"
# jlha reads the names from the file system as UTF-8 and writes them as MS932.
LANG=C.UTF-8 JAVA_TOOL_OPTIONS="-Dlha.encoding=MS932 -Dsun.jnu.encoding=UTF-8" \
  jlha "c$options" "$archive" "$@" >/dev/null 2>&1
[ -s "$archive" ] || { echo "jlha made no archive $archive" >&2; exit 1; }
