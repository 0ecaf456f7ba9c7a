#!/bin/sh
# Renders a manual page's scdoc source as plain text for Windows: ASCII, no
# bold or underline made by overstriking, no hyphenation and no line broken
# after a hyphen (an option such as --logged-on stays whole), CRLF line ends.
#
#   manual-text.sh PAGE.scd OUTPUT.txt
set -eu
[ $# -eq 2 ] || { echo "usage: $0 PAGE.scd OUTPUT.txt" >&2; exit 2; }
{
    printf '.cflags 0 -\\[hy]\\[em]\\[mi]\n'
    scdoc <"$1"
} | groff -man -Tascii -P-cbou -rHY=0 | sed 's/$/\r/' >"$2.tmp"
mv "$2.tmp" "$2"
