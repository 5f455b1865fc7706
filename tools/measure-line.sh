#!/bin/bash
# How busy talvern keeps the line: talvern online with "BM Main Display" open, against
# talvern-boardsim --paced on a pseudo-terminal, for SECONDS. Prints the share of the time the
# line carried bytes (from the board's own count), each side's turn, and talvern's CPU.
# Usage: tools/measure-line.sh [BINDIR] [SECONDS]   (run it as root with chrt -f 50 on a busy machine)
# TALVERN_ARGS adds options to talvern's command line (TALVERN_ARGS=--monitor: the wire monitor open).
set -euo pipefail
BIN=${1:-build/bin}
SECS=${2:-10}
DIR=$(mktemp -d)
PTY=$DIR/pty
mkfifo "$DIR/in"
exec 7<>"$DIR/in"
"$BIN/talvern-boardsim" --paced --link "$PTY" <&7 >"$DIR/out" 2>"$DIR/err" &
BS=$!
trap 'kill $TV $BS 2>/dev/null; rm -rf "$DIR"' EXIT
sleep 1
xvfb-run -a "$BIN/talvern" --device "$PTY" --online ${TALVERN_ARGS:-} >"$DIR/talvern.log" 2>&1 &
sleep 6
TV=$(pgrep -f "^$BIN/talvern --device $PTY" | head -1)
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
echo turns >&7; echo stats >&7; sleep 0.2
c0=$(cpu "$TV"); s0=$(tail -1 "$DIR/out"); t0=$(date +%s.%N)
sleep "$SECS"
echo turns >&7; echo stats >&7; sleep 0.2
c1=$(cpu "$TV"); s1=$(tail -1 "$DIR/out"); t1=$(date +%s.%N)
grep turn "$DIR/out" | tail -1
python3 - "$s0" "$s1" "$c0" "$c1" "$t0" "$t1" "$(getconf CLK_TCK)" <<'PY'
import sys
a, b = sys.argv[1].split(), sys.argv[2].split()
n = (int(b[1]) - int(a[1])) + (int(b[3]) - int(a[3]))
elapsed = float(sys.argv[6]) - float(sys.argv[5]) - 0.2
cpu = (int(sys.argv[4]) - int(sys.argv[3])) / int(sys.argv[7])
print(f"{n} bytes in {elapsed:.2f} s at 9600 baud: line busy {100 * n * 10 / 9600 / elapsed:.1f} %, "
      f"talvern {100 * cpu / elapsed:.1f} % of a core")
PY
