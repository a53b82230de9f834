#!/usr/bin/env bash
# Draws every picture of Pingalo! Vantor from the sources in resources/art/.
#
#   resources/art/pingalo.svg        the icon, drawn for 48 pixels and up
#   resources/art/icon-NN.txt        hand-placed pixel maps of the icon for
#                                    16, 22, 24 and 32 pixels, so that the
#                                    tray icon stays sharp
#   resources/art/hand.txt           pixel map of the pointing-hand cursor
#   resources/art/logo.svg           the logo (the icon is put in at @ICON@)
#   resources/art/splash.svg         the start-up splash picture
#   resources/art/pixmap-to-svg.awk  turns a pixel map into an SVG
#
# It writes:
#   resources/icons/pingalo.svg                        (hicolor scalable/apps)
#   resources/icons/hicolor/NxN/apps/pingalo.png       N = 16 22 24 32 48 64 128 256
#   resources/icons/pingalo-32.png                     32x32 palette PNG
#   resources/cursors/hand.png                         32x32, hot spot x 12, y 1
#   resources/logo.png                                 250x59
#   resources/splash.png                               352x185
#
# The hand cursor's hot spot is x 12, y 1: the top pixel of the fingertip.
#
# Needs these Debian 12 packages (nothing else):
#   librsvg2-bin       rsvg-convert
#   imagemagick        convert-im6.q16, identify-im6.q16
#   fonts-dejavu-core  DejaVu Sans and DejaVu Sans Bold for the logo and splash
#   mawk or gawk       awk (mawk is in every Debian install)
# Install them with:
#   apt-get install -y --no-install-recommends librsvg2-bin imagemagick fonts-dejavu-core
#
# The output depends only on the sources and the tool versions, so running
# the script twice gives byte-identical files.

set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
art=$here/art
packages="librsvg2-bin imagemagick fonts-dejavu-core"

missing=()
need_tool() { # name of a command, package that has it
    command -v "$1" >/dev/null 2>&1 || missing+=("$2 (for $1)")
}
need_tool rsvg-convert librsvg2-bin
need_tool awk mawk
# Debian's own ImageMagick 6, called by its Debian name so that no other
# "convert" on the PATH is picked up by mistake.
IM_CONVERT=/usr/bin/convert-im6.q16
IM_IDENTIFY=/usr/bin/identify-im6.q16
[ -x "$IM_CONVERT" ] || missing+=("imagemagick (for $IM_CONVERT)")
[ -x "$IM_IDENTIFY" ] || missing+=("imagemagick (for $IM_IDENTIFY)")
for font in DejaVuSans.ttf DejaVuSans-Bold.ttf; do
    [ -f "/usr/share/fonts/truetype/dejavu/$font" ] || missing+=("fonts-dejavu-core (for $font)")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "make-pictures.sh: missing:" >&2
    printf '  %s\n' "${missing[@]}" >&2
    echo "Install with: apt-get install -y --no-install-recommends $packages" >&2
    exit 1
fi

# Fontconfig must really hand out DejaVu Sans Bold, or the text would be drawn
# in some other face without a word.
if command -v fc-match >/dev/null 2>&1; then
    face=$(fc-match -f '%{family[0]}:%{style[0]}' 'DejaVu Sans:bold')
    case $face in
        "DejaVu Sans:Bold") ;;
        *) echo "make-pictures.sh: fontconfig gives '$face' for DejaVu Sans Bold;" \
                "install fonts-dejavu-core" >&2
           exit 1 ;;
    esac
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Same rendering wherever the script runs.
export LC_ALL=C
export TZ=UTC

# PNG writing: no time stamps or text chunks, best compression.
png_opts=(-strip -define png:exclude-chunks=date,time,tEXt,zTXt,iTXt
          -define png:compression-level=9)

# rgba_png SRC.svg SIZE OUT.png: truecolour with alpha (for smooth edges).
rgba_png() {
    rsvg-convert -w "$2" -h "$2" -o "$tmp/r.png" "$1"
    "$IM_CONVERT" "$tmp/r.png" "${png_opts[@]}" PNG32:"$3"
}

# pixmap_png MAP.txt OUT.png: a hand-placed pixel map, drawn one to one and
# stored as a palette PNG (its pixels are all fully opaque or fully clear,
# so the palette loses nothing).
pixmap_png() {
    awk -f "$art/pixmap-to-svg.awk" "$1" > "$tmp/p.svg"
    rsvg-convert -o "$tmp/p.png" "$tmp/p.svg"
    "$IM_CONVERT" "$tmp/p.png" "${png_opts[@]}" PNG8:"$2"
}

# with_icon IN.svg OUT.svg: puts the icon's drawing in place of the @ICON@ line.
sed -e '1d' -e '$d' "$art/pingalo.svg" | grep -v '<title>' > "$tmp/icon-body.svg"
with_icon() {
    awk -v body="$tmp/icon-body.svg" '
        /^[ \t]*@ICON@[ \t]*$/ { while ((getline line < body) > 0) print line; close(body); next }
        { print }' "$1" > "$2"
}

mkdir -p "$here/icons" "$here/cursors"

# The icon.
cp "$art/pingalo.svg" "$here/icons/pingalo.svg"
for n in 16 22 24 32 48 64 128 256; do
    dir=$here/icons/hicolor/${n}x${n}/apps
    mkdir -p "$dir"
    if [ -f "$art/icon-$n.txt" ]; then
        pixmap_png "$art/icon-$n.txt" "$dir/pingalo.png"
    else
        rgba_png "$art/pingalo.svg" "$n" "$dir/pingalo.png"
    fi
done
# Window and tray icon: the 32 pixel drawing, at most 256 colours.
pixmap_png "$art/icon-32.txt" "$here/icons/pingalo-32.png"

# The pointing hand. Hot spot: x 12, y 1.
pixmap_png "$art/hand.txt" "$here/cursors/hand.png"

# Logo and splash picture.
with_icon "$art/logo.svg" "$tmp/logo.svg"
rsvg-convert -o "$tmp/logo.png" "$tmp/logo.svg"
"$IM_CONVERT" "$tmp/logo.png" -alpha off "${png_opts[@]}" PNG24:"$here/logo.png"

with_icon "$art/splash.svg" "$tmp/splash.svg"
rsvg-convert -o "$tmp/splash.png" "$tmp/splash.svg"
"$IM_CONVERT" "$tmp/splash.png" -alpha off "${png_opts[@]}" PNG24:"$here/splash.png"

# Check what came out.
fail=0
check() { # file, expected "WxH", most colours allowed (0: any)
    local got colours
    got=$("$IM_IDENTIFY" -format '%wx%h' "$1")
    if [ "$got" != "$2" ]; then
        echo "make-pictures.sh: $1 is $got, should be $2" >&2; fail=1
    fi
    if [ "$3" -gt 0 ]; then
        colours=$("$IM_IDENTIFY" -format '%k' "$1")
        if [ "$colours" -gt "$3" ]; then
            echo "make-pictures.sh: $1 has $colours colours, at most $3 allowed" >&2; fail=1
        fi
    fi
}
for n in 16 22 24 32 48 64 128 256; do
    check "$here/icons/hicolor/${n}x${n}/apps/pingalo.png" "${n}x${n}" 0
done
check "$here/icons/pingalo-32.png" 32x32 256
check "$here/cursors/hand.png" 32x32 16
check "$here/logo.png" 250x59 0
check "$here/splash.png" 352x185 0
# The hot spot must be on the hand's outline, with nothing above it.
spot=$("$IM_CONVERT" "$here/cursors/hand.png" -format '%[pixel:p{12,1}] %[fx:p{12,0}.a]' info:)
case $spot in
    "srgba(0,0,0,1) 0"|"black 0"|"srgb(0,0,0) 0") ;;
    *) echo "make-pictures.sh: hand.png pixel (12,1) is not the fingertip: $spot" >&2; fail=1 ;;
esac
[ "$fail" -eq 0 ] || exit 1

echo "make-pictures.sh: pictures written under $here"
