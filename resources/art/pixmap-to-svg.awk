# Turns a pixel map (resources/art/*.txt) into an SVG made of 1x1-unit rectangles.
# Map file: palette lines "C #RRGGBB" (or "C #TOP:#BOTTOM" for a top-to-bottom
# blend across the picture), one blank line, then one text row per pixel row.
# '.' is always transparent.
function hex2(s) { return index("0123456789abcdef", substr(tolower(s),1,1))*16 - 16 + index("0123456789abcdef", substr(tolower(s),2,1)) - 1 }
function mix(a, b, t,   r, g, bl) {
  r = int(hex2(substr(a,2,2)) + (hex2(substr(b,2,2)) - hex2(substr(a,2,2))) * t + 0.5)
  g = int(hex2(substr(a,4,2)) + (hex2(substr(b,4,2)) - hex2(substr(a,4,2))) * t + 0.5)
  bl = int(hex2(substr(a,6,2)) + (hex2(substr(b,6,2)) - hex2(substr(a,6,2))) * t + 0.5)
  return sprintf("#%02X%02X%02X", r, g, bl)
}
BEGIN { inmap = 0; n = 0 }
!inmap && /^[ \t]*$/ { inmap = 1; next }
!inmap && /^#/ { next }
!inmap { pal[$1] = $2; next }
inmap && NF { row[n++] = $1 }
END {
  w = length(row[0]); h = n
  for (y = 0; y < h; y++) if (length(row[y]) != w) { print "row " y " has width " length(row[y]) ", expected " w > "/dev/stderr"; exit 1 }
  printf "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" shape-rendering=\"crispEdges\">\n", w, h, w, h
  for (y = 0; y < h; y++) {
    x = 0
    while (x < w) {
      c = substr(row[y], x+1, 1); run = 1
      while (x + run < w && substr(row[y], x+run+1, 1) == c) run++
      if (c != ".") {
        if (!(c in pal)) { print "no colour for '" c "' in row " y > "/dev/stderr"; exit 1 }
        col = pal[c]
        if (index(col, ":")) { split(col, ab, ":"); col = mix(ab[1], ab[2], (h > 1) ? y / (h - 1) : 0) }
        printf "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"1\" fill=\"%s\"/>\n", x, y, run, col
      }
      x += run
    }
  }
  print "</svg>"
}
