#!/bin/bash
# The least a host can spend on one exchange with talvern-boardsim --paced over a
# pseudo-terminal on this machine: a bare C loop sends 0xFF and waits for the board's 0x55, N
# times, with nothing else to do. Whatever it measures beyond the wire's 2 x 10 bits a byte is the
# terminal's and the scheduler's, and no program can do better. Compare it with a transfer's own
# time a exchange (the simulator's "turns").
# Usage: tools/measure-pty-floor.sh [BINDIR] [EXCHANGES]   (as root with chrt -f 50 where busy)
set -euo pipefail
BIN=${1:-build/bin}
N=${2:-5000}
DIR=$(mktemp -d)
trap 'kill $BS 2>/dev/null; rm -rf "$DIR"' EXIT
cat >"$DIR/host.c" <<'C'
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>
static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}
int main(int argc, char** argv) {
    int n = atoi(argv[2]), fd = open(argv[1], O_RDWR | O_NOCTTY);
    struct termios t;
    if (fd < 0 || tcgetattr(fd, &t) != 0) return perror(argv[1]), 1;
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    double t0 = now();
    for (int i = 0; i < n; ++i) {
        unsigned char c = 0xFF;
        struct pollfd p = {fd, POLLIN, 0};
        if (write(fd, &c, 1) != 1 || poll(&p, 1, 1000) != 1 || read(fd, &c, 1) != 1 || c != 0x55)
            return fprintf(stderr, "exchange %d failed\n", i), 1;
    }
    double us = (now() - t0) / n;
    printf("%d exchanges: %.1f us each, %.1f us beyond the wire's 2083.3 (9600 baud)\n", n, us,
           us - 2083.3);
    printf("an 8 KiB program upload (32818 exchanges) could take no less than %.1f s here\n",
           32818 * us / 1e6);
    return 0;
}
C
cc -O2 -o "$DIR/host" "$DIR/host.c"
mkfifo "$DIR/in"
exec 7<>"$DIR/in"
"$BIN/talvern-boardsim" --paced --board r7520 --link "$DIR/pty" <&7 >"$DIR/out" 2>&1 &
BS=$!
sleep 1
"$DIR/host" "$DIR/pty" "$N"
echo turns >&7
sleep 0.3
grep turn "$DIR/out" | tail -1
