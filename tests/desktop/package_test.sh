#!/usr/bin/env bash
# Builds the Debian package from a build tree, checks it with lintian, installs it with dpkg
# (apt-get brings the dependencies), runs the installed programs and removes the package again.
#   package_test.sh BUILD_DIR SOURCE_DIR
# Root only (it installs into /usr), and not where a kanvo package is installed already: the
# test would remove it. Exits 77 (skipped) with the reason then. The package is removed even
# when a check fails.
set -uo pipefail
build=$1
source=$2

[ "$(id -u)" -eq 0 ] || { echo "not root: the package is not installed"; exit 77; }
command -v dpkg-shlibdeps >/dev/null || { echo "dpkg-shlibdeps (dpkg-dev) is missing"; exit 77; }
if dpkg-query -W -f='${Status}' kanvo 2>/dev/null | grep -q "install ok installed"; then
  echo "a kanvo package is installed already: left alone"
  exit 77
fi

tmp=$(mktemp -d)
installed=0
cleanup() {
  if [ $installed -eq 1 ]; then dpkg -r kanvo >/dev/null; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
export DEBIAN_FRONTEND=noninteractive

# --- the package, built from this build tree into a folder of its own
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  echo "FAIL: cpack"
  exit 1
fi
deb=$(ls "$tmp"/pkg/kanvo_*_amd64.deb)
echo "built $(basename "$deb")"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
contents=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/kanvo ./usr/bin/kanvo-cli ./usr/share/man/man1/kanvo-cli.1.gz ./usr/share/man/man1/kanvo.1.gz \
  ./usr/share/doc/kanvo/copyright ./usr/share/doc/kanvo/changelog.Debian.gz \
  ./usr/share/applications/io.github.kanvo.Kanvo.desktop ./usr/share/metainfo/io.github.kanvo.Kanvo.metainfo.xml \
  ./usr/share/kanvo/logo.dll ./usr/share/kanvo/kanvo-fonts.conf ./usr/share/kanvo/translations/kanvo_en.qm; do
  grep -qE "^-rw[-x]r-[-x]r-[-x] root/root .* $path\$" <<<"$contents" || fail "not in the package as root's, 0644 or 0755: $path"
done
depends=$(dpkg-deb --field "$deb" Depends)
for needed in libqt6widgets6 libc6 fonts-wqy-microhei qt6-translations-l10n qt6-qpa-plugins; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

# The tools the checks need, installed when missing: a check without its tool fails, it never
# passes unseen.
need() {
  local tool=$1 package=$2
  command -v "$tool" >/dev/null && return 0
  # A fresh container has no package lists yet.
  apt-get install -y -qq --no-install-recommends "$package" >"$tmp/apt-$package.log" 2>&1 ||
    { apt-get update -qq && apt-get install -y -qq --no-install-recommends "$package"; } >>"$tmp/apt-$package.log" 2>&1
  command -v "$tool" >/dev/null && return 0
  tail -5 "$tmp/apt-$package.log"
  fail "$tool could not be installed (package $package)"
  return 1
}

# --- lintian: no errors; warnings only those listed in the README as not ours to fix
if need lintian lintian; then
  lintian --allow-root --tag-display-limit 0 "$deb" >"$tmp/lintian.log" 2>&1
  cat "$tmp/lintian.log"
  grep -q "^E: " "$tmp/lintian.log" && fail "lintian reports errors"
  accepted=$(sed -n 's/^- lintian warning `\([a-z0-9-]*\)`.*/\1/p' "$source/README.md")
  while read -r tag; do
    grep -qxF "$tag" <<<"$accepted" || fail "lintian warning $tag is not listed in the README"
  done < <(sed -n 's/^W: kanvo[^:]*: \([a-z0-9-]*\).*/\1/p' "$tmp/lintian.log" | sort -u)
fi

# --- installed with dpkg, dependencies from apt
if ! dpkg -i "$deb" >"$tmp/dpkg.log" 2>&1; then
  installed=1
  apt-get install -f -y -qq >>"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log"; fail "apt-get -f install"; }
fi
installed=1
dpkg-query -W -f='${Status}' kanvo | grep -q "install ok installed" || { cat "$tmp/dpkg.log"; fail "not installed"; }

mkdir "$tmp/empty"
if (cd "$tmp/empty" && QT_QPA_PLATFORM=offscreen timeout 60 /usr/bin/kanvo --self-test) >"$tmp/report" 2>&1; then
  grep -qx "start-up picture: /usr/share/kanvo/logo.dll (360 x 240)" "$tmp/report" || fail "the start-up picture came from elsewhere"
  grep -qx "standard dialogs: 确定" "$tmp/report" || fail "Qt's Chinese texts were not found"
else
  fail "kanvo --self-test"
fi
cat "$tmp/report"
grep -qF "$source/" "$tmp/report" && fail "the installed program used files of the source tree"

picture=/usr/share/kanvo/动物/小猫.jpg
if (cd "$tmp/empty" && timeout 60 /usr/bin/kanvo-cli chart "$picture" -o "$tmp/chart.png" --legend "$tmp/legend.csv"); then
  [ -s "$tmp/chart.png" ] || fail "kanvo-cli chart wrote no chart"
  head -1 "$tmp/legend.csv" | grep -qx "symbol,thread,count" || fail "kanvo-cli chart wrote no legend"
else
  fail "kanvo-cli chart $picture"
fi
version=$(/usr/bin/kanvo-cli --version)
grep -qx "kanvo-cli $(dpkg-deb --field "$deb" Version | sed 's/-[^-]*$//')" <<<"$version" || fail "kanvo-cli --version says $version"
# The page as packed renders; man finds it once installed, unless dpkg is told to leave out
# manual pages (minimal container images), when there is nothing installed to find.
if need man man-db; then
  dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/man/man1/kanvo-cli.1.gz | gunzip >"$tmp/kanvo-cli.1"
  MANWIDTH=80 man -l "$tmp/kanvo-cli.1" 2>/dev/null | grep -q "kanvo-cli" || fail "man cannot render the packed kanvo-cli page"
  if grep -qshE "^path-exclude[ =]+/usr/share/man" /etc/dpkg/dpkg.cfg /etc/dpkg/dpkg.cfg.d/*; then
    echo "dpkg leaves out manual pages here: man -w not tried"
  else
    man -w kanvo-cli >/dev/null 2>&1 || fail "man finds no kanvo-cli page"
  fi
fi
# The English interface of the installed program, from the packed translation.
if (cd "$tmp/empty" && LANG=en_US.UTF-8 LANGUAGE= XDG_CONFIG_HOME="$tmp/empty/config" QT_QPA_PLATFORM=offscreen \
  timeout 60 /usr/bin/kanvo --self-test) >"$tmp/report-en" 2>&1; then
  grep -qx "English translation: /usr/share/kanvo/translations/kanvo_en.qm" "$tmp/report-en" ||
    { cat "$tmp/report-en"; fail "the installed program did not load the packed English translation"; }
else
  cat "$tmp/report-en"
  fail "kanvo --self-test in English"
fi
# the program says the same version, and the MIME database (rebuilt by shared-mime-info's
# trigger) gives chart projects the type the launcher names
[ "$(/usr/bin/kanvo --version)" = "kanvo ${version#kanvo-cli }" ] || fail "kanvo --version differs from kanvo-cli's"
if [ -f /usr/share/mime/globs2 ]; then
  grep -qx '50:application/x-oxs+xml:\*\.oxs' /usr/share/mime/globs2 || fail "the MIME database gives *.oxs no type"
fi

# --- removed again: nothing of it left in /usr/bin
dpkg -r kanvo >"$tmp/remove.log" 2>&1 || { cat "$tmp/remove.log"; fail "dpkg -r kanvo"; }
installed=0
[ ! -e /usr/bin/kanvo ] && [ ! -e /usr/bin/kanvo-cli ] || fail "the programs stay after dpkg -r"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all package checks passed"
