#!/usr/bin/env bash
# The README's command for showing the menu, as a newcomer without a display
# runs it: it must bring the window up and save a screenshot that shows it.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
if ! command -v Xvfb >/dev/null || [ ! -x /usr/lib/wine/wine64 ]; then
    echo "RUN-MENU CHECK SKIPPED: wine64 or Xvfb is missing"
    exit 0
fi
rm -f "$root/build/menu.png"
env -u DISPLAY "$root/tools/run-menu" || { echo "FAIL: tools/run-menu failed"; exit 1; }
# The window's Exit button is dark red wherever the installation state.
colours=$(convert "$root/build/menu.png" -crop 128x96+684+491 +repage -unique-colors txt:- | grep -c '#7B2121')
if [ "$colours" -ne 1 ]; then
    echo "FAIL: build/menu.png does not show the menu's Exit button"
    exit 1
fi
echo "ok: tools/run-menu showed the menu and saved build/menu.png"
