#!/bin/sh
# Starts the windowed program on the simulated boards. $1 is the folder of the executables.
bin="${1:-build/bin}"
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
    echo "run-talvern: no display (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
    echo "Run it under a virtual X server instead:  xvfb-run -a make run" >&2
    exit 1
fi
exec "$bin/talvern" --simulate
