#!/bin/sh
# Runs a window test program under Wine on the run's display: DISPLAY, which
# scripts/build-windows.sh --test starts before any Wine program, so the
# prefix's desktop process lives on it for the whole run. Without one, on an
# Xvfb of the program's own (the desktop process then ends with it, and a
# program started just after may find no desktop: give runs a display).
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
