#!/usr/bin/env bash
# Runs a test program in a network of its own that has nothing but the loopback interface: the
# program under test opens its server on every address, and in here that is loopback alone.
set -euo pipefail
inside='ip link set lo up && exec "$@"'
if [ "$(id -u)" -eq 0 ]; then
    exec unshare --net -- bash -c "$inside" bash "$@"
fi
exec unshare --map-root-user --net -- bash -c "$inside" bash "$@"
