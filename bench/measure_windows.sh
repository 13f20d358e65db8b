#!/usr/bin/env bash
# The measuring part of `bench/run.sh --windows`, on its X server: the shipped 32-bit Windows
# program under 32-bit Wine, seen from outside as the Linux one is. Argument: seconds of running.
set -u
seconds=$1
results=bench/RESULTS-windows.md
exe=build/win32/window/win32/Tempulix.exe
watch=build/default/bench/title_watch
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver32
trap '"$wineserver" -k 2>/dev/null; rm -rf "$work"' EXIT

window_of() { timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n1; }
cpu_ms() { awk '{ s += $1 } END { printf "%.0f", s / 1e6 }' /proc/"$1"/task/*/schedstat; }
wakeups() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s }'; }
memory() { awk '/^Rss:/ { r = $2 } /^Pss:/ { p = $2 } END { printf "%d %d", r, p }' /proc/"$1"/smaps_rollup; }
# The process that runs the program: Wine names it after the .exe.
program_pid() { pgrep -f 'Tempulix\.exe' | head -n1; }

"$wine" wineboot -i >/dev/null 2>&1
"$wineserver" -p

"$wine" "$exe" 2>/dev/null &
window=$(window_of '^Tempulix - by ')
pid=$(program_pid)
server=$(pgrep -f 'wineserver' | head -n1)
sleep 2
xdotool windowactivate --sync "$window" 2>/dev/null
cpu0=$(cpu_ms "$pid"); wake0=$(wakeups "$pid"); server0=$(cpu_ms "$server")
$watch watch "$window" "$seconds" >"$work/ticks.txt"
cpu=$(( ($(cpu_ms "$pid") - cpu0) * 60 / seconds ))
wake=$(( ($(wakeups "$pid") - wake0) * 60 / seconds ))
server_cpu=$(( ($(cpu_ms "$server") - server0) * 60 / seconds ))
read -r rss pss <<<"$(memory "$pid")"
kill "$pid"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
start=$(for _ in 1 2 3 4 5; do $watch startup "$wine" "$exe" 2>/dev/null | sed -n 's/startup_ms=//p'; done | median)
get() { sed -n "s/^$1=//p" "$work/ticks.txt"; }

{
  echo "# Benchmark results: the Windows program under Wine"
  echo
  echo "Written by \`bash bench/run.sh --windows\` on $(date -u +%Y-%m-%d), $(nproc) cores ($(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n1)), $(uname -sr), Xvfb with openbox, $(/usr/lib/wine/wine --version) (32-bit), the stripped i686 \`Tempulix.exe\` ($(stat -c %s "$exe") bytes)."
  echo
  echo "## Tick accuracy over ${seconds} s, seen from outside"
  echo
  echo "Title changes stamped on the monotonic clock by \`title_watch\`, which pressed S, as for the Linux program."
  echo
  echo "| program | ticks (ideal) | lag at end | mean period | p50 | p99 | max |"
  echo "|---|---|---|---|---|---|---|"
  echo "| Tempulix.exe under Wine | $(get ticks) ($(get ideal)) | $(get lag_ms) ms | $(get mean_ms) ms | $(get p50_ms) ms | $(get p99_ms) ms | $(get max_ms) ms |"
  echo
  echo "## Cost"
  echo
  echo "CPU time and wake-ups per minute while running, of the program's own Wine process and of the wineserver (which carries every window message); memory of the program's process at the end; start-up is the median of five runs from exec of \`wine Tempulix.exe\` to its window mapped, with the wineserver already up."
  echo
  echo "| process | CPU per minute | wake-ups per minute | RSS | PSS | exec to mapped |"
  echo "|---|---|---|---|---|---|"
  echo "| Tempulix.exe running | ${cpu} ms | ${wake} | ${rss} KiB | ${pss} KiB | ${start} ms |"
  echo "| wineserver meanwhile | ${server_cpu} ms | | | | |"
  echo
  echo "Wine turns the program's SetTimer into its own timer on the Linux monotonic clock, so these figures say how the program's tick schedule behaves on an accurate timer. Windows itself wakes timers on its clock interrupt, by default every 15.625 ms; what the schedule does there is modelled in \`tests/window/win32/tick_schedule_test.cpp\` (5999 to 6000 ticks in 10 minutes), not measured here. CPU and memory are Wine's: its loader, its libraries and the X11 driver, not the cost of the program on Windows."
} >"$results"
cat "$results"
