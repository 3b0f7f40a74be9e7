#!/bin/bash
# Runs a command with a private Xvfb display; stops the display afterwards.
# Usage: xvfb-session.sh COMMAND [ARGS...]
set -u
fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r display < "$fifo"; rm -f "$fifo"
export DISPLAY=":$display"
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null' EXIT
"$@"
