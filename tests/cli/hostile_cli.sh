#!/usr/bin/env bash
# kanvo-cli over the hostile corpus: every command either succeeds on a sound file or exits with
# an error status (not a signal) and a one-line "kanvo-cli ..." message on stderr; it never crashes, never leaves an output
# file behind on failure, never replaces an existing output on failure, and runs within 1 GiB
# of address space (prlimit) and a few seconds each. Prints the outcome table.
#   hostile_cli.sh KANVO_CLI GENERATOR reduce|legend|chart
set -uo pipefail
cli="$1"
generator="$2"
command="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 "$generator" "$work/corpus" || exit 1

# Each run gets KANVO_HOSTILE_SECONDS (5) of wall time; timeout's status 124 fails it.
seconds="${KANVO_HOSTILE_SECONDS:-5}"
limit=(prlimit --as=$((1 << 30)) --)
# AddressSanitizer reserves terabytes of address space: no limit there.
if [ -n "${KANVO_NO_AS_LIMIT:-}" ] || ! prlimit --as=$((1 << 30)) -- true 2>/dev/null; then limit=(); fi

failures=0
run() { # NAME EXPECT-OK-OR-NO OUTPUT COMMAND...
  local name="$1" expect="$2" out="$3"; shift 3
  printf 'old output\n' >"$out"
  timeout -s KILL "$seconds" "${limit[@]}" "$cli" "$@" >"$work/stdout" 2>"$work/stderr"
  local rc=$?
  local msg; msg="$(head -n 1 "$work/stderr")"
  if [ $rc -eq 0 ]; then
    echo "| kanvo-cli $1 | $name | ok |"
    [ "$expect" = no ] && { echo "  unexpected success" >&2; failures=$((failures + 1)); }
  else
    echo "| kanvo-cli $1 | $name | exit $rc: $msg |"
    if [ $rc -eq 124 ] || [ $rc -ge 126 ] || [[ "$msg" != kanvo-cli* ]] || [ "$(cat "$out")" != "old output" ]; then
      echo "  FAILED: exit $rc, message \"$msg\", output $(head -c 20 "$out" | od -c | head -n 1)" >&2
      failures=$((failures + 1))
    fi
    [ "$expect" = ok ] && { echo "  unexpected refusal" >&2; failures=$((failures + 1)); }
  fi
  if ls "$work"/out.* 2>/dev/null | grep -q tmp-; then
    echo "  FAILED: temporary file left behind" >&2; failures=$((failures + 1))
  fi
}

before="$(cd "$work/corpus" && find . -print0 | sort -z | xargs -0 sha1sum 2>/dev/null; find . | sort)"
while IFS=$'\t' read -r name bmp picture; do
  in="$work/corpus/$name"
  case "$command" in
    reduce) run "$name" "$bmp" "$work/out.bmp" reduce --method 8bit "$in" -o "$work/out.bmp" ;;
    legend) run "$name" "$bmp" "$work/out.txt" legend "$in" ;;
    chart) run "$name" "${picture/any/either}" "$work/out.png" chart "$in" -o "$work/out.png" ;;
  esac
done <"$work/corpus/MANIFEST.tsv"
after="$(cd "$work/corpus" && find . -print0 | sort -z | xargs -0 sha1sum 2>/dev/null; find . | sort)"
[ "$before" = "$after" ] || { echo "FAILED: the corpus folder changed" >&2; failures=$((failures + 1)); }
echo "failures: $failures"
[ $failures -eq 0 ]
