#!/usr/bin/env bash
# Runs a Windows program of the build under Wine; scripts/test has set up the environment.
# The output goes through a file: Wine's own background processes inherit the program's
# standard handles and would hold a pipe open after the program has ended. Carriage returns
# are dropped so that CTest reads test names and output as written.
out=$(mktemp "${TMPDIR:-/tmp}/pallendo-run.XXXXXX")
started=$EPOCHREALTIME
wine "$@" > "$out" 2>&1 < /dev/null
rc=$?
tr -d '\r' < "$out"
# A program that ends without a word (killed, or its output lost) would otherwise leave CTest
# nothing to show; say how it ended and what the machine had left.
if [ ! -s "$out" ]; then
    echo "wine-run: $1 printed nothing and ended with exit code $rc" \
         "after $(awk "BEGIN { printf \"%.2f\", $EPOCHREALTIME - $started }") s"
    df -h "$(dirname "$out")" "$PWD" 2>&1 | sed 's/^/wine-run: /'
fi
rm -f "$out"
exit "$rc"
