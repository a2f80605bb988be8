#!/bin/sh
# help_cp932.sh SRC OUT: the Japanese help sources (UTF-8) in code page 932,
# each page declaring that code page, for the CHM compiler.
set -eu
src=$1
out=$2
for f in "$src"/*; do
    name=$(basename "$f")
    sed 's/charset=utf-8/charset=shift_jis/' "$f" | iconv -f UTF-8 -t CP932 > "$out/$name"
done
