#!/usr/bin/env bash
# Builds Tinkerhold and runs every test (installs what is missing first).
exec "$(dirname "$0")/setup.sh" test "$@"
