#!/usr/bin/env bash
# Installs what is missing, builds, and runs the toolbox against the local dev service.
# With a display the programs run until the shell ends. Without one they run under Xvfb for
# KAVREN_DEMO_SECONDS (default 60), logged in as the first demo user, and screenshots are left in demo-run/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

./scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build -j"$(nproc)"

run="$root/demo-run"
rm -rf "$run/app"
mkdir -p "$run/screenshots"
cmake --install build --prefix "$run/app" >/dev/null

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  pkill -f "$run/app/" 2>/dev/null || true
}
trap cleanup EXIT

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  export DISPLAY=:97
  Xvfb "$DISPLAY" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"

"$run/app/kavren-devservice" --log "$run/devservice.log" >/dev/null &
pids+=($!)
sleep 1

"$run/app/kavrenup" &


shot() { import -display "$DISPLAY" -window root "$run/screenshots/$1.png" 2>/dev/null || true; }

if [ "$headless" = 1 ]; then
  # Without a display nobody can type: log in as the first demo user the way a user would.
  window=""
  for _ in $(seq 1 60); do
    window=$(xdotool search --onlyvisible --name "Kavren工具箱登录页面" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 1
  done
  sleep 3
  shot 01-login-window
  if [ -n "$window" ]; then
    xdotool mousemove --window "$window" 185 105 click 1 key ctrl+a type --delay 40 13800000001
    xdotool mousemove --window "$window" 185 157 click 1 type --delay 40 kavren123
    shot 02-login-typed
    xdotool mousemove --window "$window" 185 270 click 1
    sleep 5
    shot 03-after-login
  fi
  seconds=${KAVREN_DEMO_SECONDS:-60}
  for ((t = 5; t <= seconds; t += 5)); do
    sleep 5
    shot "screen-$(printf '%03d' "$t")"
  done
  echo "Screenshots are in $run/screenshots/"
else
  # Runs until the shell (started by the updater) has ended.
  sleep 3
  while pgrep -f "$run/app/kavrenbox" >/dev/null; do sleep 1; done
fi
