#!/usr/bin/env bash
# Runs tessera with a script in real windows: starts an Xvfb server on a free
# display number, runs tessera there without --headless (the SDL2 back end),
# and stops the server again. Exits 77, which CTest reports as skipped, when
# Xvfb is missing or cannot start.
#   run.sh TESSERA SCRIPT [arguments...]
set -u
tessera=$1
shift
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "xvfb: Xvfb is not installed (tools/install-deps installs it); skipped"
  exit 77
fi
rm -f xvfb.display xvfb.log
# Xvfb picks a free display number itself and writes it to descriptor 3
# once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>xvfb.display >xvfb.log 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null' EXIT
for _ in $(seq 1 200); do
  [ -s xvfb.display ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s xvfb.display ]; then
  echo "xvfb: Xvfb could not start; skipped"
  cat xvfb.log
  exit 77
fi
display=$(tr -d '[:space:]' < xvfb.display)
# The screen's size as the server reports it, for scripts that compare.
XVFB_SCREEN=1280x1024
if command -v xdpyinfo >/dev/null 2>&1; then
  XVFB_SCREEN=$(DISPLAY=":$display" xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*x[0-9]*\) pixels.*/\1/p')
fi
export XVFB_SCREEN
DISPLAY=":$display" WAYLAND_DISPLAY= SDL_VIDEODRIVER=x11 "$tessera" --check-leaks "$@"
