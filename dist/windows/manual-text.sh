#!/bin/sh
# Renders a manual page's scdoc source as plain text for Windows: ASCII, no
# bold or underline made by overstriking, no hyphenation and no line broken
# after a hyphen (an option such as --logged-on stays whole), CRLF line ends.
# The sections that describe the Linux host alone (its files, its environment,
# its other programs) are left out, and "the emulated host" is the computer.
#
#   manual-text.sh PAGE.scd OUTPUT.txt
set -eu
[ $# -eq 2 ] || { echo "usage: $0 PAGE.scd OUTPUT.txt" >&2; exit 2; }
{
    printf '.cflags 0 -\\[hy]\\[em]\\[mi]\n'
    awk '/^# / { skip = ($0 ~ /^# (FILES|ENVIRONMENT|SEE ALSO)$/) } !skip' "$1" |
        sed 's/the emulated host/the computer/g' | scdoc
} | groff -man -Tascii -P-cbou -rHY=0 | sed 's/$/\r/' >"$2.tmp"
mv "$2.tmp" "$2"
