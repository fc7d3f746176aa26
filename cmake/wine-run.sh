#!/usr/bin/env bash
# Runs a Windows program of the build under Wine; scripts/test has set up the environment.
# The output goes through a file: Wine's own background processes inherit the program's
# standard handles and would hold a pipe open after the program has ended. Carriage returns
# are dropped so that CTest reads test names and output as written.
out=$(mktemp "${TMPDIR:-/tmp}/pallendo-run.XXXXXX")
wine "$@" > "$out" 2>&1 < /dev/null
rc=$?
tr -d '\r' < "$out"
rm -f "$out"
exit "$rc"
