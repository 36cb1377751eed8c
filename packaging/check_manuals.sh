#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# check_manuals.sh PROGRAM PAGE [README]
# A manual page names every option its program's --help names, and no other.
# With README, the page's COMMANDS, the README's list of the driver's commands
# and the commands --help lists are one set: a command added to the driver
# and named in one place only fails here.
set -eu
program=$1 page=$2 readme=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# same WHAT-A FILE-A WHAT-B FILE-B: the two sorted lists are equal.
same() {
    if ! cmp -s "$2" "$4"; then
        echo "$1 and $3 differ (< only in the first, > only in the second):"
        diff "$2" "$4" | grep '^[<>]' || true
        failed=1
    fi
    if [ ! -s "$2" ]; then
        echo "$1: none found"
        failed=1
    fi
}

"$program" --help >"$work/help"
grep -o -- '--[a-z][a-z-]*' "$work/help" | sort -u >"$work/help-options"
sed 's/\\-/-/g' "$page" | grep -o -- '--[a-z][a-z-]*' | sort -u >"$work/page-options"
same "$program --help's options" "$work/help-options" "$page's options" "$work/page-options"

if [ -n "$readme" ]; then
    # The help's block after "Commands": every plain lower-case word is one.
    awk '/^Commands/ { on = 1; next } on && /^$/ { exit } on' "$work/help" | tr -s ' ' '\n' |
        grep -x '[a-z][a-z]*' | sort -u >"$work/help-commands"
    # The page's COMMANDS section: the first word of each tagged paragraph.
    awk '/^\.SH/ { on = ($2 == "COMMANDS") } on && tag { print $2; tag = 0 } on && /^\.TP/ { tag = 1 }' "$page" |
        tr -d '"' | sort -u >"$work/page-commands"
    # The README's list under "The driver's commands", its first indented
    # block: lines that start with a command (continuations are indented further).
    awk '/^### The driver.s commands/ { on = 1; next } on && /^    / { block = 1; print; next }
         block && !/^$/ { exit }' "$readme" |
        sed -n 's/^    \([a-z][a-z]*\)\( .*\)\{0,1\}$/\1/p' | sort -u >"$work/readme-commands"
    same "$program --help's commands" "$work/help-commands" "$page's commands" "$work/page-commands"
    same "$page's commands" "$work/page-commands" "$readme's driver commands" "$work/readme-commands"
fi
exit $failed
