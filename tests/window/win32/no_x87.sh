#!/usr/bin/env bash
# The 32-bit timekeeping must do its arithmetic in SSE2 (binary64), never on the x87 stack,
# whose extended precision changes the tenths shown. Loads and stores of st(0) remain: the
# 32-bit calling convention returns doubles (from floor) there, which is exact for whole numbers.
# Arguments: objdump, the timekeeping library.
set -eu
objdump=$1
library=$2
listing=$("$objdump" -d --no-show-raw-insn "$library")
x87=$(printf '%s\n' "$listing" | grep -E $'\t(f(add|sub|subr|mul|div|divr)p?|fi(add|sub|subr|mul|div|divr)|fsqrt|frndint|fprem1?|fscale|fchs|fabs|fcomi?p?|fucomi?p?|fistt?p?)\\b' || true)
sse=$(printf '%s\n' "$listing" | grep -c -E $'\t(addsd|subsd|mulsd|divsd)\\b' || true)
echo "SSE2 double arithmetic instructions: $sse"
if [ -n "$x87" ]; then
  echo "FAIL: x87 arithmetic in the timekeeping code:"
  printf '%s\n' "$x87" | head -n 20
  exit 1
fi
if [ "$sse" -lt 4 ]; then
  echo "FAIL: expected the tick's additions, subtractions and multiplication in SSE2"
  exit 1
fi
echo "ok: no x87 arithmetic"
