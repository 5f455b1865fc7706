// talvern-boardsim: the simulated boards served on a pseudo-terminal, so that the program's real
// serial path can talk to them. The first line of standard output is the terminal's path.

#include "boards/SimulatedBoards.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using talvern::boards::BoardId;
using talvern::boards::SimulatedBoards;

volatile std::sig_atomic_t gStop = 0;
void onSignal(int) {
    gStop = 1;
}

class SteadyClock final : public talvern::boards::Clock {
public:
    double now() const override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// How long each side of the line takes its turn: from a byte read to the reply written (the
// board), and from a reply written to the next byte read (the host, with the terminal between).
// The "turns" command prints them, for measuring a program against the paced board.
struct Turns {
    double lastRead = -1, lastWrite = -1;
    std::vector<double> board, host;
    void read(double now) {
        if (lastWrite >= 0 && lastWrite > lastRead) host.push_back(now - lastWrite);
        lastRead = now;
    }
    void wrote(double now) {
        if (lastRead >= 0 && lastRead > lastWrite) board.push_back(now - lastRead);
        lastWrite = now;
    }
    static std::string summary(std::vector<double> v) {
        if (v.empty()) return "none";
        std::sort(v.begin(), v.end());
        double sum = 0;
        for (double d : v)
            sum += d;
        auto us = [](double s) { return std::to_string(static_cast<long>(std::lround(s * 1e6))); };
        return std::to_string(v.size()) + " mean " + us(sum / v.size()) + " p50 " +
               us(v[v.size() / 2]) + " p90 " + us(v[v.size() * 9 / 10]) + " us";
    }
    void print() {
        std::cout << "board turn " << summary(board) << "; host turn " << summary(host)
                  << std::endl;
        board.clear();
        host.clear();
    }
};
Turns gTurns;

struct Options {
    BoardId board = BoardId::K2510;
    int baud = 9600;
    bool paced = false;
    std::string link;
};

const char* const kUsage =
    "usage: talvern-boardsim [--board k2510|r7520] [--baud 9600|19200] [--paced] [--link PATH]\n";

void usage() {
    std::cerr << kUsage;
}

// The whole description, for --help (and so for the manual page).
void help() {
    std::cout
        << kUsage
        << "\nServes the simulated K2510 and R7520 boards on a pseudo-terminal; the first line of\n"
           "standard output is the terminal's path, for talvern-cli --device or any serial "
           "program.\n"
           "\n"
           "  --board k2510|r7520    the board the cable is on at start (default k2510)\n"
           "  --baud 9600|19200      the line speed set on the terminal (default 9600)\n"
           "  --paced                answer no faster than the real line at that speed\n"
           "  --link PATH            also make PATH a symbolic link to the terminal\n"
           "  --help                 this text\n"
           "\n"
           "Front-panel commands, one a line on standard input:\n"
           "  cable k2510|r7520      move the cable to that board\n"
           "  unplug, plug           pull the cable out, put it back\n"
           "  start, stop            run or stop the bodymaker\n"
           "  speed high|low         the machine's speed\n"
           "  alarm N on|off         raise or clear system alarm N\n"
           "  silence on|off         the board stops answering\n"
           "  busy on|off            the PLS stays busy\n"
           "  stuck on|off           the signature capture never finishes\n"
           "  delay SECONDS          delay every reply\n"
           "  clear                  clear the injected faults\n"
           "  stats                  bytes received and replied so far\n"
           "  turns                  how long the board and the host took their turns on the\n"
           "                         line since the last \"turns\" (mean, median, 90th "
           "percentile)\n"
           "  quit                   end (as does closing standard input when it is a\n"
           "                         terminal or a pipe)\n"
           "\n"
           "Started in the background (standard input /dev/null, or a terminal it may not read),\n"
           "it serves without a front panel until it is stopped (SIGINT, SIGTERM or SIGHUP).\n";
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--board" && hasValue) {
            const std::string v = argv[++i];
            if (v == "k2510")
                o.board = BoardId::K2510;
            else if (v == "r7520")
                o.board = BoardId::R7520;
            else
                return false;
        } else if (a == "--baud" && hasValue) {
            o.baud = std::atoi(argv[++i]);
            if (o.baud != 9600 && o.baud != 19200) return false;
        } else if (a == "--paced") {
            o.paced = true;
        } else if (a == "--link" && hasValue) {
            o.link = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

// Front-panel commands from standard input. Returns false on "quit".
bool command(SimulatedBoards& boards, const std::string& line) {
    std::istringstream in(line);
    std::string word, arg;
    in >> word >> arg;
    const bool on = arg == "on";
    if (word.empty()) return true;
    if (word == "quit") return false;
    if (word == "cable" && arg == "k2510")
        boards.moveCable(BoardId::K2510);
    else if (word == "cable" && arg == "r7520")
        boards.moveCable(BoardId::R7520);
    else if (word == "unplug")
        boards.unplug();
    else if (word == "plug")
        boards.plug();
    else if (word == "start")
        boards.startMachine();
    else if (word == "stop")
        boards.stopMachine();
    else if (word == "speed" && (arg == "high" || arg == "low"))
        boards.setHighSpeed(arg == "high");
    else if (word == "alarm") {
        std::string state;
        in >> state;
        boards.setAlarm(std::atoi(arg.c_str()), state == "on");
    } else if (word == "silence")
        boards.setSilent(on);
    else if (word == "busy")
        boards.setPlsStuckBusy(on);
    else if (word == "stuck")
        boards.setCaptureStuck(on);
    else if (word == "delay")
        boards.setReplyDelay(std::atof(arg.c_str()));
    else if (word == "clear")
        boards.clearFaults();
    else if (word == "turns")
        gTurns.print();
    else if (word == "stats")
        std::cout << "received " << boards.bytesDelivered() << " replied " << boards.repliesSent()
                  << std::endl;
    else
        std::cerr << "talvern-boardsim: unknown command: " << line << "\n";
    return true;
}

// Whether the end of standard input ends the run: it does for a terminal (Ctrl+D) and a pipe
// (the driving program closed it), which someone chose to give. A background job gets
// /dev/null (or a file of commands) instead, whose end says nothing: the boards serve on.
bool endOfInputQuits() {
    struct stat st {};
    if (::fstat(STDIN_FILENO, &st) != 0) return false;
    return ::isatty(STDIN_FILENO) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

void sendReplies(SimulatedBoards& boards, int master, const talvern::boards::Clock& clock) {
    std::uint8_t out[256];
    std::size_t n = 0;
    for (int b; n < sizeof out && (b = boards.takeReply()) >= 0;)
        out[n++] = static_cast<std::uint8_t>(b);
    if (n) {
        writeAll(master, out, n);
        gTurns.wrote(clock.now());
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0) {
            help();
            return 0;
        }
    if (!parse(argc, argv, options)) {
        usage();
        return 2;
    }

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        std::perror("talvern-boardsim: pseudo-terminal");
        return 1;
    }
    const char* name = ::ptsname(master);
    if (!name) {
        std::perror("talvern-boardsim: ptsname");
        return 1;
    }
    const std::string slavePath = name;
    // Held open for the whole run, so that a client closing its end does not hang the line up.
    const int slave = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        std::perror("talvern-boardsim: open slave");
        return 1;
    }
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, options.baud == 19200 ? B19200 : B9600);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    if (!options.link.empty()) {
        struct stat st {};
        if (::lstat(options.link.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            ::unlink(options.link.c_str());
        if (::symlink(slavePath.c_str(), options.link.c_str()) != 0) {
            std::perror("talvern-boardsim: symlink");
            return 1;
        }
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // A background job of an interactive shell would be stopped by its first read of the
    // terminal, and stop serving with it; ignored, that read fails (EIO) and the panel is left.
    std::signal(SIGTTIN, SIG_IGN);
    const bool inputEndQuits = endOfInputQuits();
    bool panel = true;

    std::cout << slavePath << std::endl;

    SteadyClock clock;
    SimulatedBoards boards(clock);
    boards.moveCable(options.board);
    if (options.paced) boards.setPacing(options.baud);

    std::string pending;
    bool running = true;
    while (running && !gStop) {
        // Paced replies are due within a millisecond or two. A timed wait wakes some tens of
        // microseconds late, which a board's hardware never does: sleep until shortly before the
        // reply is due, then keep looking (a zero wait) until it is.
        constexpr double kWakeEarly = 150e-6;
        timespec timeout{};
        timespec* until = nullptr;
        if (const auto next = boards.nextReplyTime()) {
            double wait = std::max(0.0, *next - clock.now());
            wait = wait > kWakeEarly ? wait - kWakeEarly : 0.0;
            timeout.tv_sec = static_cast<time_t>(wait);
            timeout.tv_nsec = static_cast<long>((wait - static_cast<double>(timeout.tv_sec)) * 1e9);
            until = &timeout;
        }
        // A negative descriptor is left out of the poll.
        pollfd fds[2] = {{panel ? STDIN_FILENO : -1, POLLIN, 0}, {master, POLLIN, 0}};
        const int ready = ::ppoll(fds, 2, until, nullptr);
        if (ready < 0) {
            if (errno == EINTR) continue;
            std::perror("talvern-boardsim: poll");
            break;
        }
        // Front-panel lines first: a command given before a byte was sent acts before it.
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            char buf[512];
            const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
            if (n == 0 && inputEndQuits) break; // standard input closed
            if (n == 0 || (n < 0 && errno != EINTR)) {
                panel = false;
                if (n < 0)
                    std::cerr << "talvern-boardsim: standard input cannot be read; serving "
                                 "without front panel\n";
            }
            if (n > 0) pending.append(buf, static_cast<std::size_t>(n));
            for (std::size_t eol; running && (eol = pending.find('\n')) != std::string::npos;) {
                std::string line = pending.substr(0, eol);
                pending.erase(0, eol + 1);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                running = command(boards, line);
            }
        }
        if (fds[1].revents & POLLIN) {
            std::uint8_t in[256];
            const ssize_t n = ::read(master, in, sizeof in);
            if (n > 0) gTurns.read(clock.now());
            for (ssize_t i = 0; i < n; ++i) {
                boards.hostSend(in[i]);
                sendReplies(boards, master, clock);
            }
        }
        sendReplies(boards, master, clock);
    }

    if (!options.link.empty()) ::unlink(options.link.c_str());
    ::close(slave);
    ::close(master);
    return 0;
}
