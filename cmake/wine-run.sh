#!/usr/bin/env bash
# Runs a Windows program of the build under Wine; scripts/test has set up the environment.
# The output goes through a file: Wine's own background processes inherit the program's
# standard handles and would hold a pipe open after the program has ended. Carriage returns
# are dropped so that CTest reads test names and output as written.
out=$(mktemp "${TMPDIR:-/tmp}/pallendo-run.XXXXXX")
started=$EPOCHREALTIME
run() {
    wine "$@" > "$out" 2>&1 < /dev/null
}
seconds() {
    awk "BEGIN { printf \"%.2f\", $EPOCHREALTIME - $started }"
}
# How a program that printed nothing ended, and what the machine had left.
silent_end() {
    echo "wine-run: $1 printed nothing and ended with exit code $2 after $(seconds) s"
    df -h "$(dirname "$out")" "$PWD" 2>&1 | sed 's/^/wine-run: /'
}
run "$@"
rc=$?
# Now and then, in the middle of a full test run, Wine ends a program within a few hundredths of
# a second with exit code 1 and not a word, before any of its code ran (a test program prints
# its banner first). Such a start is made once more; the log names it, and scripts/test shows it.
if [ ! -s "$out" ] && [ "$rc" -ne 0 ] && [ "$(seconds | cut -d. -f1)" -lt 1 ]; then
    silent_end "$1" "$rc" >> "${PALLENDO_WINE_RETRY_LOG:-/dev/null}"
    started=$EPOCHREALTIME
    run "$@"
    rc=$?
fi
tr -d '\r' < "$out"
if [ ! -s "$out" ]; then silent_end "$1" "$rc"; fi
rm -f "$out"
exit "$rc"
