#!/usr/bin/env bash
# Installs a build into a temporary prefix and starts the installed program from there.
#   install_test.sh BUILD_DIR SOURCE_DIR
# Checks the installed layout (programs, shipped files, gallery, launcher, metadata, icons), the
# font aliases as fontconfig reads them, and then runs "kanvo --self-test" offscreen from an
# empty folder: the program must load its start-up picture and fill its gallery from the prefix,
# never from the source tree. The start-up picture's folder rules are tried on the installed
# layout too: the working folder first, then beside the program, then the data folder.
set -euo pipefail
build=$1
source=$2
app_id=io.github.kanvo.Kanvo

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
data=$prefix/share/kanvo
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
expect_file() {
  [ -f "$1" ] || fail "not installed: ${1#"$prefix"/}"
}

if ! cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi
echo "installed into $prefix:"
(cd "$prefix" && find . -type f | sort | sed 's|^\./|  |')

# --- layout
for program in kanvo kanvo-cli; do
  [ -x "$prefix/bin/$program" ] || fail "not installed: bin/$program"
done
expect_file "$data/logo.dll"
expect_file "$data/十字绣Kanvo使用说明.mht"
expect_file "$data/Kanvo-Guide.html"
expect_file "$prefix/share/mime/packages/$app_id.xml"
expect_file "$data/kanvo-fonts.conf"
expect_file "$prefix/share/applications/$app_id.desktop"
expect_file "$prefix/share/metainfo/$app_id.metainfo.xml"
expect_file "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg"
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  expect_file "$png"
  [ -f "$png" ] || continue
  # the PNG header's width and height must be those of the folder it sits in
  actual=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$png")
  [ "$actual" = "${size}x${size}" ] || fail "$png is $actual"
done
grep -qx "Icon=$app_id" "$prefix/share/applications/$app_id.desktop" || fail "the launcher names another icon"
grep -qx "Exec=kanvo %f" "$prefix/share/applications/$app_id.desktop" || fail "the launcher starts another program"

# the installed tree as the desktop's tools read it: the metadata finds its launcher
if command -v appstreamcli >/dev/null; then
  appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop-file-validate"
fi

categories=(动漫 美女 汽车 星座 动物 风景 艺术)
total=0
for category in "${categories[@]}"; do
  count=$(find "$data/$category" -maxdepth 1 -type f 2>/dev/null | wc -l)
  [ "$count" -gt 0 ] || fail "gallery folder $category missing or empty"
  total=$((total + count))
done

# --- the alias file as fontconfig reads it, beside the machine's own configuration
if command -v fc-match >/dev/null; then
  cat >"$tmp/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig><include>/etc/fonts/fonts.conf</include><include>$data/kanvo-fonts.conf</include></fontconfig>
EOF
  for pair in "MS Sans Serif=Liberation Sans" "Arial=Liberation Sans" "宋体=WenQuanYi Micro Hei" "SimSun=WenQuanYi Micro Hei"; do
    name=${pair%%=*} want=${pair#*=}
    if fc-list -q "$want"; then
      got=$(FONTCONFIG_FILE=$tmp/fonts.conf fc-match -f '%{family[0]}' "$name")
      [ "$got" = "$want" ] || fail "fontconfig gives $got for $name, not $want"
    else
      echo "font $want is not installed: alias $name not checked"
    fi
  done
fi

# --- the installed program, started offscreen
self_test() { # self_test FOLDER: runs kanvo --self-test in FOLDER, output in $tmp/report
  # The Chinese interface whatever the caller's language and saved choice.
  (cd "$1" && LANG=C LANGUAGE= XDG_CONFIG_HOME="$tmp/settings" QT_QPA_PLATFORM=offscreen timeout 60 "$prefix/bin/kanvo" --self-test) >"$tmp/report" 2>"$tmp/stderr"
}
expect_line() {
  grep -qxF -- "$1" "$tmp/report" || fail "the self-test did not report: $1"
}

mkdir "$tmp/empty"
status=0
self_test "$tmp/empty" || status=$?
echo "--- kanvo --self-test in an empty folder (exit status $status)"
cat "$tmp/report"
[ $status -eq 0 ] || { fail "the self-test failed"; cat "$tmp/stderr"; }
# logo.dll is 360 x 240: the grid is fitted to its height (240) and the load step sets the width 117
expect_line "start-up picture: $data/logo.dll (360 x 240)"
expect_line "grid: 117 x 240 stitches"
expect_line "help document: $data/十字绣Kanvo使用说明.mht"
expect_line "font aliases: $data/kanvo-fonts.conf"
expect_line "standard dialogs: 确定"
expect_line "English translation: $data/translations/kanvo_en.qm"
expect_line "gallery: 7 of 7 category folders, $total pictures"
for category in "${categories[@]}"; do
  count=$(find "$data/$category" -maxdepth 1 -type f | wc -l)
  expect_line "  $category: $data/$category, $count listed, $count previewed"
done
expect_line "self-test: passed"
if grep -qF "$source/" "$tmp/report"; then
  fail "the installed program used files of the source tree"
fi

# The start-up picture's folders: the working folder before the program's folder before the
# data folder. Two gallery pictures of other sizes stand in for logo.dll.
beside=$(find "$data/星座" -type f | sort | head -1)
working=$(find "$data/动物" -name '*.jpg' | sort | head -1)
cp "$beside" "$prefix/bin/logo.dll"
self_test "$tmp/empty" || true
size=$(identify -format '%w x %h' "$beside[0]" 2>/dev/null || echo "?")
expect_line "start-up picture: $prefix/bin/logo.dll ($size)"
mkdir "$tmp/work"
cp "$working" "$tmp/work/logo.dll"
self_test "$tmp/work" || true
size=$(identify -format '%w x %h' "$working[0]" 2>/dev/null || echo "?")
expect_line "start-up picture: $tmp/work/logo.dll ($size)"

# --- the command-line tool answers from the prefix too
usage=$("$prefix/bin/kanvo-cli" --help || true)
if ! grep -q "usage: kanvo-cli" <<<"$usage"; then
  fail "kanvo-cli --help does not show its usage"
fi
# the man pages, as man reads them
for page in kanvo kanvo-cli; do
  expect_file "$prefix/share/man/man1/$page.1.gz"
  if command -v man >/dev/null && [ -f "$prefix/share/man/man1/$page.1.gz" ]; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page $page.1: $warnings"
  fi
done
expect_file "$prefix/share/doc/kanvo/copyright"
expect_file "$prefix/share/doc/kanvo/changelog.Debian.gz"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all install checks passed"
