#!/usr/bin/env bash
# Runs a Windows program of the build under Wine; scripts/test has set up the environment.
exec wine "$@"
