#!/bin/sh
# Builds the compiled help file resources/Pingalo_Help.chm from the sources in
# this folder (pages, stylesheet, contents, index and the .hhp project).
#
# Needs chmcmd, from the Debian package fp-utils.  Run it after changing any help
# source and commit the new Pingalo_Help.chm together with the sources.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
project=Pingalo_Help.hhp
output="$here/../Pingalo_Help.chm"

if ! command -v chmcmd >/dev/null 2>&1; then
    echo "make-help.sh: chmcmd is missing; install the Debian package fp-utils." >&2
    exit 1
fi

# Every local link of a page must name a page or file of this folder.
broken=0
for page in "$here"/*.htm; do
    for target in $(grep -o 'href="[^"]*"' "$page" | sed 's/^href="//; s/"$//; s/#.*$//'); do
        case "$target" in
            ''|http:*|https:*|mailto:*) continue ;;
        esac
        if [ ! -f "$here/$target" ]; then
            echo "make-help.sh: $(basename "$page") links to missing file $target" >&2
            broken=1
        fi
    done
done
# Every page must be listed in the project, or it would be left out of the file.
for page in "$here"/*.htm "$here"/*.css; do
    name=$(basename "$page")
    if ! grep -qx "$name" "$here/$project"; then
        echo "make-help.sh: $name is not listed under [FILES] in $project" >&2
        broken=1
    fi
done
[ "$broken" -eq 0 ] || exit 1

# Compile in a scratch folder so that the sources stay untouched.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
cp "$here"/*.hhp "$here"/*.hhc "$here"/*.hhk "$here"/*.htm "$here"/*.css "$work"/
(cd "$work" && chmcmd "$project")

if [ ! -s "$work/Pingalo_Help.chm" ]; then
    echo "make-help.sh: chmcmd produced no Pingalo_Help.chm" >&2
    exit 1
fi
mv "$work/Pingalo_Help.chm" "$output"
echo "make-help.sh: wrote $(cd "$here/.." && pwd)/Pingalo_Help.chm"
