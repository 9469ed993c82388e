#!/usr/bin/env bash
# The type of chart projects as the desktop's MIME database reads it: *.oxs is
# application/x-oxs+xml, a kind of XML, and the launcher offers Kanvo for it.
#   mime_test.sh MIME_XML DESKTOP_FILE
set -euo pipefail
mime_xml=$1
desktop=$2
command -v update-mime-database >/dev/null || { echo "update-mime-database missing (shared-mime-info)"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/mime/packages"
cp "$mime_xml" "$tmp/mime/packages/io.github.kanvo.Kanvo.xml"
update-mime-database "$tmp/mime"
fail() { echo "FAIL: $*"; exit 1; }
grep -qx '50:application/x-oxs+xml:\*\.oxs' "$tmp/mime/globs2" || fail "no glob *.oxs in $(cat "$tmp/mime/globs2")"
grep -qx 'application/x-oxs+xml application/xml' "$tmp/mime/subclasses" || fail "not a subclass of XML"
grep -qx 'MimeType=.*application/x-oxs+xml;.*' "$desktop" || fail "the launcher does not name the type"
for type in image/png image/jpeg image/bmp image/gif; do
  grep -q "^MimeType=.*$type;" "$desktop" || fail "the launcher does not name $type"
done
grep -qx 'Exec=kanvo %f' "$desktop" || fail "the launcher passes no file"
echo "MIME type and launcher: passed"
