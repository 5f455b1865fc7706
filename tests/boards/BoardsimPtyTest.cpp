// End to end through a real pseudo-terminal: talvern-boardsim serves the boards, and the link
// reaches them through QSerialPort (and, where it is built, through talvern-cli --device).
// These run on the real clock: every wait below is the link's own wait for a reply.

#include "FakePlatform.h"
#include "QtPlatform.h"
#include "RSComm.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace talvern::testing {
namespace {

// One talvern-boardsim for the test; standard input closed (and the process gone) at the end.
class Boardsim {
public:
    explicit Boardsim(QStringList args = {}, bool nullInput = false) {
        // As a background job of a script gets it.
        if (nullInput) process_.setStandardInputFile(QProcess::nullDevice());
        process_.start(QStringLiteral(TALVERN_BOARDSIM), args);
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(5000))
            path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~Boardsim() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(1000);
    }
    const QString& path() const { return path_; }
    void command(const QByteArray& line) {
        process_.write(line + "\n");
        process_.waitForBytesWritten(5000);
    }
    bool finishesAfterQuit() {
        command("quit");
        return process_.waitForFinished(5000) && process_.exitCode() == 0;
    }
    bool finishesAfterTerminate() {
        process_.terminate();
        return process_.waitForFinished(5000) && process_.exitStatus() == QProcess::NormalExit &&
               process_.exitCode() == 0;
    }

private:
    QProcess process_;
    QString path_;
};

class BoardsimPty : public ::testing::Test {
protected:
    BoardsimPty() : link(clock, answers, events, folder.path()), line(clock) {
        link.SetUserConfigFolder(folder.filePath("user"));
    }
    ~BoardsimPty() override { link.CloseRSComm(); }
    // `device` is the path the link opens: the terminal talvern-boardsim names, unless given.
    void start(const QStringList& args = {}, bool nullInput = false, QString device = {}) {
        sim.emplace(args, nullInput);
        ASSERT_FALSE(sim->path().isEmpty());
        link.SetDeviceOverride(device.isEmpty() ? sim->path() : device);
        link.OpenRSComm(line);
        ASSERT_TRUE(link.OnlineMode);
    }

    std::optional<Boardsim> sim;
    QTemporaryDir folder;
    link::SteadyClock clock;
    ScriptedAnswers answers;
    link::NoEventPump events;
    link::RSComm link;
    link::QtSerialLine line;
};

TEST_F(BoardsimPty, ServesARunningMachineFollowsTheCableCapturesOnTheRealClockAndQuits) {
    start();
    EXPECT_EQ(link.RSRead("B698"), "1");
    EXPECT_EQ(link.RSRead("W182"), "250");
    link.RSWrite("W1020", "77");
    EXPECT_EQ(link.RSRead("W1020"), "77");
    sim->command("cable r7520");
    EXPECT_EQ(link.RSRead("B698"), "3");
    link.RSWrite("B2999", "1");
    QString status;
    for (int polls = 0; polls < 20000 && (status = link.RSRead("B2999")) == "1"; ++polls) {}
    ASSERT_EQ(status, "180");
    int peakCurrent = 0;
    for (int i = 0; i < 180; ++i)
        peakCurrent =
            std::max(peakCurrent, link.RSRead(QStringLiteral("B%1").arg(3000 + i)).toInt());
    EXPECT_GT(peakCurrent, 50);
    EXPECT_FALSE(link.CommError);
    EXPECT_TRUE(answers.asked.empty());
    link.CloseRSComm();
    EXPECT_TRUE(sim->finishesAfterQuit());
}

TEST_F(BoardsimPty, PacedServingWithStandardInputAtItsEndUntilTerminated) {
    const QString pty = folder.filePath("pty");
    start({QStringLiteral("--paced"), QStringLiteral("--baud"), QStringLiteral("19200"),
           QStringLiteral("--link"), pty},
          /*nullInput=*/true, pty);
    const double start = clock.now();
    EXPECT_EQ(link.RSRead("W1026"), "250") << "served after the end of standard input";
    EXPECT_GE(clock.now() - start, 6 * 10.0 / 19200) << "six bytes, each a wire time";
    link.CloseRSComm();
    EXPECT_TRUE(sim->finishesAfterTerminate());
    EXPECT_FALSE(QFileInfo::exists(pty)) << "the link is removed at the end";
}

// The terminal going away stands in for an adapter pulled out, and coming back under the same
// name for one plugged in again.
TEST_F(BoardsimPty, ADeviceThatGoesAwayClosesTheLineAndOpensAgainOnceBack) {
    const QString pty = folder.filePath("pty");
    const QStringList args{QStringLiteral("--link"), pty};
    start(args, /*nullInput=*/true, pty);
    EXPECT_EQ(line.deviceName(), pty);
    EXPECT_FALSE(line.lowLatency()) << "refused by a pseudo-terminal, and the line works on";
    ASSERT_TRUE(sim->finishesAfterTerminate());
    line.sendByte(0xFF);
    EXPECT_FALSE(line.isOpen());
    start(args, /*nullInput=*/true, pty);
    EXPECT_EQ(link.RSRead("B698"), "1");
}

#ifdef TALVERN_CLI
QString runCli(const QStringList& args) {
    QProcess cli;
    cli.start(QStringLiteral(TALVERN_CLI), args);
    cli.waitForFinished(30000);
    return QString::fromLocal8Bit(cli.readAllStandardOutput()).trimmed();
}

TEST(BoardsimCli, TalvernCliReadsThroughTheTerminal) {
    Boardsim sim;
    ASSERT_FALSE(sim.path().isEmpty());
    const QStringList device{QStringLiteral("--device"), sim.path()};
    EXPECT_EQ(runCli(device + QStringList{"read", "B698"}), "1");
    sim.command("cable r7520");
    EXPECT_EQ(runCli(device + QStringList{"read", "B698", "W1110"}), "3\n1950");
}
#endif

} // namespace
} // namespace talvern::testing

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
