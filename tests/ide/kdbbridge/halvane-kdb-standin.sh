#!/bin/sh
# Stands in for halvane-kdb in the tests of the emulator bridge: prints its
# arguments on standard output, then runs what the test put in KDB_STANDIN.
echo "$*"
eval "$KDB_STANDIN"
