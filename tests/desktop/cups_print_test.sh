#!/usr/bin/env bash
# Prints a chart through a real CUPS to a cups-pdf queue (CupsPrintTest.cpp).
#   cups_print_test.sh CUPS_PRINT_TESTS_BINARY
# Installs CUPS and the cups-pdf driver when they are missing (root only), starts a scheduler of
# its own (configuration, spool, logs and socket in a temporary folder, so the machine's print
# system and its queues are left as they are), adds the queue, runs the test, stops the
# scheduler. Exits 77 (skipped) with the reason where it cannot run.
set -euo pipefail
binary=$1
queue=KanvoTestPDF

skip() {
  echo "SKIPPED: $*"
  exit 77
}

[ "$(id -u)" -eq 0 ] || skip "needs root: the cups-pdf backend runs as root, and CUPS may have to be installed"

missing=()
[ -x /usr/sbin/cupsd ] && command -v lpadmin >/dev/null || missing+=(cups)
[ -x /usr/lib/cups/backend/cups-pdf ] || missing+=(printer-driver-cups-pdf)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing ${missing[*]}"
  log=$(mktemp /tmp/kanvo-cups-install.XXXXXX.log)
  if ! { timeout 90 apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive timeout 150 apt-get install -y -qq -o DPkg::Lock::Timeout=60 --no-install-recommends "${missing[@]}"; } \
    >"$log" 2>&1; then
    tail -5 "$log"
    skip "could not install ${missing[*]} (log in $log)"
  fi
fi
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$ppd" ] || skip "the cups-pdf driver has no $ppd"

# Where cups-pdf puts a job of ours: its Out setting (${HOME} the job owner's home), ~/PDF by default.
out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -1)
home=$(getent passwd "$(id -un)" | cut -d: -f6)
out=${out:-'${HOME}/PDF'}
out=${out//'${HOME}'/$home}
out=${out//'${USER}'/$(id -un)}

root=$(mktemp -d /tmp/kanvo-cups.XXXXXX)
# The filters run as lp and read the spooled job below this folder.
chmod 755 "$root"
mkdir -p "$root"/{spool,cache,state,log,tmp}
chmod 1777 "$root/tmp"
cat >"$root/cups-files.conf" <<EOF
ServerRoot $root
RequestRoot $root/spool
TempDir $root/tmp
CacheDir $root/cache
StateDir $root/state
ErrorLog $root/log/error_log
AccessLog $root/log/access_log
PageLog $root/log/page_log
Printcap $root/printcap
ServerBin /usr/lib/cups
DataDir /usr/share/cups
SystemGroup root
User lp
Group lp
EOF
cat >"$root/cupsd.conf" <<EOF
Listen $root/cups.sock
LogLevel info
Browsing Off
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF

/usr/sbin/cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" &
cupsd=$!
finish() {
  kill "$cupsd" 2>/dev/null || true
  wait "$cupsd" 2>/dev/null || true
  rm -rf "$root"
}
trap finish EXIT

export CUPS_SERVER="$root/cups.sock"
running() { [ -S "$CUPS_SERVER" ] && [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ]; }
for _ in $(seq 50); do
  running && break
  kill -0 "$cupsd" 2>/dev/null || break
  sleep 0.2
done
if ! running; then
  cat "$root/log/error_log" 2>/dev/null || true
  echo "FAILED: the CUPS scheduler did not start"
  exit 1
fi
lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" 2>&1 | grep -v "drivers are deprecated" || true
lpstat -v "$queue"

export KANVO_CUPS_QUEUE="$queue" KANVO_CUPS_PDF_OUT="$out"
echo "queue $queue on $CUPS_SERVER, cups-pdf writes into $out"
status=0
QT_QPA_PLATFORM=offscreen "$binary" || status=$?
if [ $status -ne 0 ]; then
  echo "--- scheduler log"
  tail -30 "$root/log/error_log" || true
fi
exit $status
