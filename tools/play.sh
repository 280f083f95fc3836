#!/usr/bin/env bash
# Builds Tinkerhold and starts it (installs what is missing first).
exec "$(dirname "$0")/setup.sh" play "$@"
