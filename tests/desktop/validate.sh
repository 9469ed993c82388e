#!/usr/bin/env bash
# Runs a validator (desktop-file-validate, appstreamcli) and shows what it says.
#   validate.sh TOOL [ARGUMENTS...] FILE
# Exits 77 (skipped) when the tool is not installed.
set -uo pipefail
command -v "$1" >/dev/null || { echo "SKIPPED: $1 is not installed"; exit 77; }
echo "\$ $*"
"$@"
status=$?
echo "exit status $status"
exit $status
