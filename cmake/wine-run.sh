#!/bin/sh
# Runs a Windows program under Wine: wine-run.sh PROGRAM.exe [ARGUMENTS...].
# The prefix is $WINEPREFIX (CTest gives each run a fresh one, see
# cmake/Wine.cmake); the exit code is the program's.
. "$(dirname "$0")/wine-env.sh" || exit 127
exec "$MC_WINE" "$@"
