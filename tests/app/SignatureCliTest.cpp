// talvern-cli's signature commands against the simulated motion board in virtual time, and the
// graph drawn by talvern-render.
#include "CliFixture.h"
#include "CpfdData.h"

#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <limits>

using namespace talvern;
using boards::BoardId;

namespace {

// The simulated line, which presses Ctrl+C once the given number of bytes has been sent.
class InterruptingLine final : public link::SerialLine {
public:
    InterruptingLine(link::SerialLine& line, int after) : line_(line), after_(after) {}
    bool open(const link::PortSettings& s, int* n, QString* t) override {
        return line_.open(s, n, t);
    }
    void close() override { line_.close(); }
    bool isOpen() const override { return line_.isOpen(); }
    void sendByte(std::uint8_t byte) override {
        line_.sendByte(byte);
        if (--after_ == 0) std::raise(SIGINT);
    }
    int bytesWaiting() override { return line_.bytesWaiting(); }
    int takeByte() override { return line_.takeByte(); }
    void discardInput() override { line_.discardInput(); }
    bool waitForInput(double deadline) override { return line_.waitForInput(deadline); }

private:
    link::SerialLine& line_;
    int after_;
};

class SignatureCli : public talvern::testing::CliFixture {
protected:
    void SetUp() override {
        sim.moveCable(BoardId::R7520);
        sim.setPacing(9600); // the wire's own time lets the board finish its stroke
    }
};

} // namespace

TEST_F(SignatureCli, AcquireShowAndExport) {
    ASSERT_EQ(runCli({"signature", "acquire", file("s.cfd")}, false, false), 0)
        << errors().toStdString();
    EXPECT_EQ(output(), "180 samples\n");
    const QByteArray cfd = bytes("s.cfd");
    ASSERT_EQ(cfd.size(), 5130);
    EXPECT_EQ(cfd.left(2), QByteArray("\xB4\x00", 2));

    ASSERT_EQ(runCli({"cfd", "show", file("s.cfd")}, false, false), 0);
    const QStringList lines = output().split('\n');
    ASSERT_EQ(lines.size(), 4 + 180 + 1);
    EXPECT_TRUE(lines[0].startsWith("P\t15")) << lines[0].toStdString();
    EXPECT_EQ(lines[3], "Pos\tCurr\tErr\tProfile\tDesired");
    EXPECT_TRUE(lines[5].startsWith("2\t")) << lines[5].toStdString();
    EXPECT_TRUE(lines[183].startsWith("360\t")) << lines[183].toStdString();

    const QString shown = output();
    ASSERT_EQ(runCli({"cfd", "export", file("s.cfd"), file("s.txt")}, false, false), 0);
    EXPECT_EQ(QString::fromLocal8Bit(bytes("s.txt")), QString(shown).replace("\n", "\r\n"));
}

TEST_F(SignatureCli, CtrlCCancelsAndALinkFailureWritesNothing) {
    sim.setCaptureStuck(true);
    InterruptingLine interrupting(line, 400);
    out = std::tmpfile();
    err = std::tmpfile();
    answers = std::make_unique<app::ConsoleAnswers>(err, false, false, false, nullptr);
    rscomm = std::make_unique<link::RSComm>(clock, *answers, events, folder.path());
    app::CliContext context{*rscomm, interrupting, *answers, out, err};
    EXPECT_EQ(app::RunCliCommand(context, {"signature", "acquire", file("c.cfd")}), 1);
    EXPECT_EQ(sim.peekByte(BoardId::R7520, 2999), 0) << "the board is told to abandon the stroke";
    EXPECT_FALSE(QFile::exists(file("c.cfd")));
    EXPECT_TRUE(errors().contains("Cancelled"));

    sim.clearFaults();
    sim.unplug();
    EXPECT_EQ(runCli({"signature", "acquire", file("u.cfd")}, false, false), 3);
    EXPECT_FALSE(QFile::exists(file("u.cfd")));
}

// Every command that reads a file refuses a damaged one as the window's message says it.
TEST_F(SignatureCli, DamagedFilesAreRefusedAsTheWindowSaysIt) {
    for (const auto& [name, content] : {std::pair{"bad.cfd", QByteArray(5000, '\0')},
                                        std::pair{"bad.sdt", QByteArray("not a set-up file")}}) {
        QFile damaged(file(name));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write(content);
    }
    const QString cfd = "[Servo Cupfeed Data] Cannot open \"" + file("bad.cfd") +
                        "\" as a cupfeed data file.\nA cupfeed data file is 5130 bytes long; "
                        "this one is 5000 bytes.\n";
    const QString sdt = "[TALVERN] Cannot open \"" + file("bad.sdt") + "\" as a set-up file.\n";
    const std::pair<QStringList, QString> cases[] = {
        {{"cfd", "show", file("bad.cfd")}, cfd},
        {{"cfd", "export", file("bad.cfd"), file("x.txt")}, cfd},
        {{"graph", file("bad.cfd"), file("x.png")}, cfd},
        {{"signature-report", file("bad.cfd"), file("x.pdf")}, cfd},
        {{"report", file("bad.sdt"), file("x.pdf")}, sdt},
        {{"sdt", "show", file("bad.sdt")}, sdt},
        {{"export-shift", file("bad.sdt"), file("x.txt")}, sdt},
        {{"upload", "k2510", file("bad.sdt")}, sdt}, // the rows it keeps come from the file
        {{"download", "k2510", file("bad.sdt")}, sdt},
    };
    for (const auto& [command, message] : cases) {
        EXPECT_EQ(runCli(command, true, false), 1) << command.join(' ').toStdString();
        const QString shown = errors();
        EXPECT_TRUE(shown.contains(message)) << shown.toStdString();
        EXPECT_FALSE(shown.contains('\r')) << shown.toStdString();
    }
    for (const char* made : {"x.txt", "x.png", "x.pdf"})
        EXPECT_FALSE(QFile::exists(file(made))) << made;
    EXPECT_EQ(bytes("bad.sdt"), "not a set-up file");
}

TEST_F(SignatureCli, GraphIsDrawnByTheRenderProgram) {
    ASSERT_EQ(runCli({"signature", "acquire", file("s.cfd")}, false, false), 0);
    ASSERT_EQ(runCli({"graph", file("s.cfd"), file("g.png"), "--traces", "02"}, false, false), 0)
        << errors().toStdString();
    EXPECT_TRUE(bytes("g.png").startsWith("\x89PNG"));
    ASSERT_EQ(
        runCli({"graph", file("s.cfd"), file("g.pdf"), "--reference", file("s.cfd")}, false, false),
        0);
    EXPECT_TRUE(bytes("g.pdf").startsWith("%PDF"));
    EXPECT_EQ(output(), QString("0 of 180 samples outside ") + QChar(0x00B1) + "10 %\n");
    EXPECT_EQ(runCli({"graph", file("s.cfd"), file("g.gif")}, false, false), 1);

    // A current that is not a number shows as the file holds it, and the graph leaves it out.
    signatures::CpfdData d;
    d.Samples = 2;
    d.Pos[1] = 360;
    d.Curr[1] = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(signatures::SaveCfdFile(file("nan.cfd"), d, nullptr));
    ASSERT_EQ(runCli({"cfd", "show", file("nan.cfd")}, false, false), 0);
    EXPECT_TRUE(output().endsWith("\n0\t0\t0\t0\t0\n360\tnan\t0\t0\t0\n"))
        << output().toStdString();
    ASSERT_EQ(runCli({"graph", file("nan.cfd"), file("n.png")}, false, false), 0);
    EXPECT_EQ(output(), "1 sample left out (not a number or out of range)\n");
    EXPECT_EQ(runCli({"graph", file("s.cfd"), file("g.png"), "--traces", "9"}, false, false), 2);
}
