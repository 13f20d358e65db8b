#!/usr/bin/env bash
# The measuring part of bench/run.sh, on its X server. Argument: seconds of running.
set -u
seconds=$1
results=bench/RESULTS.md
[ "$seconds" = 60 ] || results=bench/RESULTS-${seconds}s.md
build=build/default
watch=$build/bench/title_watch
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT

window_of() { timeout 10 xdotool search --sync --onlyvisible --name "$1" | head -n1; }
# CPU time in ms and wake-ups (voluntary context switches) of all of a process's threads.
cpu_ms() { awk '{ s += $1 } END { printf "%.0f", s / 1e6 }' /proc/"$1"/task/*/schedstat; }
wakeups() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s }'; }
memory() { awk '/^Rss:/ { r = $2 } /^Pss:/ { p = $2 } END { printf "%d %d", r, p }' /proc/"$1"/smaps_rollup; }

# The programs, side by side.
$build/window/qt/tempulix 2>/dev/null & running=$!; pids+=($running)
w_running=$(window_of '^Tempulix - by ')
# The stopped one has run a little and been stopped, as a user leaves it.
$build/window/qt/tempulix 2>/dev/null & stopped=$!; pids+=($stopped)
w=$(xdotool search --all --sync --onlyvisible --pid "$stopped" --name '^Tempulix - by ' | head -n1)
xdotool windowactivate --sync "$w" 2>/dev/null
xdotool key s
sleep 1
xdotool key t
$build/bench/minimal_label precise 2>/dev/null & precise=$!; pids+=($precise)
w_precise=$(window_of '^Minimal precise')
$build/bench/minimal_label rearm 2>/dev/null & rearm=$!; pids+=($rearm)
w_rearm=$(window_of '^Minimal rearm')
xclock -update 1 & clock=$!; pids+=($clock)
sleep 2

watchers=()
# Each watcher presses S with its window focused, then they all run at once.
for name in running precise rearm; do
  w=w_$name
  xdotool windowactivate --sync "${!w}" 2>/dev/null
  $watch watch "${!w}" "$seconds" >"$work/$name.txt" &
  watchers+=($!)
  sleep 0.3
done
declare -A cpu0 wake0
for name in running stopped precise rearm clock; do
  cpu0[$name]=$(cpu_ms "${!name}")
  wake0[$name]=$(wakeups "${!name}")
done
wait "${watchers[@]}"
sleep 1  # the watchers end a second apart at most; cost is per minute of that window
declare -A cpu wake rss pss
for name in running stopped precise rearm clock; do
  cpu[$name]=$(( ($(cpu_ms "${!name}") - ${cpu0[$name]}) * 60 / (seconds + 1) ))
  wake[$name]=$(( ($(wakeups "${!name}") - ${wake0[$name]}) * 60 / (seconds + 1) ))
  read -r rss[$name] pss[$name] <<<"$(memory "${!name}")"
done
kill "${pids[@]}" 2>/dev/null
wait 2>/dev/null
pids=()

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
startup() {
  for _ in 1 2 3 4 5; do $watch startup "$@" 2>/dev/null | sed -n 's/startup_ms=//p'; done | median
}
start_tempulix=$(startup $build/window/qt/tempulix)
start_minimal=$(startup $build/bench/minimal_label precise)
start_xclock=$(startup xclock -update 1)

get() { sed -n "s/^$2=//p" "$work/$1.txt"; }
# This run's CPU and wake-ups per minute beside those of the run before (from the file it wrote).
last() { awk -F'|' -v row="$1" '$2 == " " row " " { gsub(/^ +| +$/, "", $3); gsub(/^ +| +$/, "", $4); print $3 ", " $4 }' "$results" 2>/dev/null; }
last_running=$(last "Tempulix running")
last_stopped=$(last "Tempulix stopped")
bench=$($build/bench/tick_bench --benchmark_min_time=1 2>/dev/null | grep '^BM_')

{
  echo "# Benchmark results"
  echo
  echo "Written by \`bash bench/run.sh$([ "$seconds" = 600 ] && echo ' --long')\` on $(date -u +%Y-%m-%d), $(nproc) cores ($(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n1)), $(uname -sr), Xvfb with openbox. All programs ran at the same time, so each figure is from one run."
  echo
  echo "## Tick accuracy over ${seconds} s, seen from outside"
  echo
  echo "Title changes stamped on the monotonic clock by \`title_watch\`, which pressed S. Periods are between title changes one tick apart; lag is real time at the last change minus the time then shown."
  echo
  echo "| program | ticks (ideal) | lag at end | mean period | p50 | p99 | max |"
  echo "|---|---|---|---|---|---|---|"
  for name in running precise rearm; do
    case $name in
      running) label="Tempulix (precise timer)" ;;
      precise) label="minimal Qt label, precise timer" ;;
      rearm) label="minimal Qt label, re-armed from dispatch" ;;
    esac
    echo "| $label | $(get $name ticks) ($(get $name ideal)) | $(get $name lag_ms) ms | $(get $name mean_ms) ms | $(get $name p50_ms) ms | $(get $name p99_ms) ms | $(get $name max_ms) ms |"
  done
  echo
  echo "## Cost"
  echo
  echo "CPU time and wake-ups (voluntary context switches of all threads) per minute during the same window; memory from /proc/PID/smaps_rollup at its end; start-up is the median of five runs from exec to the first top-level window mapped. The stopped stopwatch ran for a second and was stopped before the window. The last column is the run before this one (CPU, wake-ups per minute), as its RESULTS file gave them."
  echo
  echo "| program | CPU per minute | wake-ups per minute | RSS | PSS | exec to mapped | last run |"
  echo "|---|---|---|---|---|---|---|"
  echo "| Tempulix running | ${cpu[running]} ms | ${wake[running]} | ${rss[running]} KiB | ${pss[running]} KiB | ${start_tempulix} ms | ${last_running:--} |"
  echo "| Tempulix stopped | ${cpu[stopped]} ms | ${wake[stopped]} | ${rss[stopped]} KiB | ${pss[stopped]} KiB | | ${last_stopped:--} |"
  echo "| minimal Qt label, 100 ms | ${cpu[precise]} ms | ${wake[precise]} | ${rss[precise]} KiB | ${pss[precise]} KiB | ${start_minimal} ms | |"
  echo "| minimal Qt label, re-armed | ${cpu[rearm]} ms | ${wake[rearm]} | ${rss[rearm]} KiB | ${pss[rearm]} KiB | | |"
  echo "| xclock -update 1 | ${cpu[clock]} ms | ${wake[clock]} | ${rss[clock]} KiB | ${pss[clock]} KiB | ${start_xclock} ms | |"
  echo
  echo "## One tick (Google Benchmark)"
  echo
  echo "The display text and title, alone and through the controller into a window that keeps its texts; allocations counted by a replaced operator new."
  echo
  echo '```'
  echo "$bench"
  echo '```'
} >"$results"
cat "$results"
