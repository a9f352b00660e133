#!/bin/sh
# Makes the README's screenshots (docs/images) again with the program's own
# window and the examples. On a real display server (Xvfb when there is no
# other) they look as users see them; offscreen is the fallback.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target kv_screenshots
if command -v xvfb-run >/dev/null 2>&1; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24" \
        build/tools/kv_screenshots docs/images examples
else
    build/tools/kv_screenshots docs/images examples
fi
