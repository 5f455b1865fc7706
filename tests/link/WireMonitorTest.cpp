// The wire monitor's recorder: every kind of transaction and outcome decoded from a scripted
// line, the bound of its log, and its saved trace against talvern-cli's.
#include "LinkFixture.h"
#include "WireRecorder.h"
#include "WireTrace.h"

#include <QFile>
#include <cstdio>

using namespace talvern;
using namespace talvern::testing;
using link::WireKind;
using link::WireOutcome;

namespace {

using Act = void (*)(link::RSComm&);
const Act kRead = [](auto& rs) { rs.RSRead("W1020"); };
void ReadAgain(link::RSComm& rs) {
    rs.RSRead("W1020");
    rs.RSRead("W1020");
}
void ReadInOtherLetters(link::RSComm& rs) {
    rs.RSRead("W1020");
    rs.RSRead("w1020");
}
const Act kWrite = [](auto& rs) { rs.RSWrite("W1020", "99"); };
const Act kReadScale = [](auto& rs) { rs.PLSScaleFactor(); };
// The scale a setpoint is checked against is read twice alike.
const Act kProgramChannel = [](auto& rs) { rs.SingleSetpoint(2, 10, 300); };
// A record the board sums to E2.
const Act kSendRecord = [](auto& rs) { rs.SendProgramRecord(0x30, "\x02\x33\x7A"); };
const Act kAttention = [](auto& rs) { rs.SendAttention(); };

struct Row {
    const char* name;
    const char* script; // the line's first replies in hex, "--" for silence
    Act act;
    WireKind kind;
    const char* subject;
    const char* value;
    WireOutcome outcome;
    int board = 1;
};

const Row kRows[] = {
    {"read", "", kRead, WireKind::Read, "W1020", "1234", WireOutcome::Good},
    {"read_agreeing_with_the_last", "", ReadInOtherLetters, WireKind::Read, "w1020", "1234",
     WireOutcome::Confirmed},
    {"wrong_echo", "07", kRead, WireKind::Read, "W1020", "", WireOutcome::WrongEcho},
    {"read_after_a_failed_one", "07", ReadAgain, WireKind::Read, "W1020", "1234",
     WireOutcome::Retried},
    {"no_reply", "-- -- -- --", kRead, WireKind::Read, "W1020", "", WireOutcome::NoReply, 0},
    {"late_reply", "-- 03 D2 03 04", kRead, WireKind::Read, "W1020", "1234",
     WireOutcome::LateReply},
    {"write", "", kWrite, WireKind::Write, "W1020", "99", WireOutcome::Good},
    {"write_repeated_after_a_wrong_echo", "55 55 03 FC 00", kWrite, WireKind::Write, "W1020", "99",
     WireOutcome::Retried},
    {"pls_read_word", "55 55 68 01", kReadScale, WireKind::PlsCommand, "scale factor", "360",
     WireOutcome::Good},
    {"pls_single_setpoint", "55 55 68 01 55 55 68 01 55 55 55 55 55 55 55 55 55 00 55",
     kProgramChannel, WireKind::PlsCommand, "scale factor, scale factor, channel 2",
     "360; 360; on 10, off 300", WireOutcome::Good},
    {"program_record", "-- -- -- -- -- E2", kSendRecord, WireKind::ProgramRecord, "0030H",
     "3 bytes", WireOutcome::Good},
    {"program_record_wrong_sum", "-- -- -- -- -- E1", kSendRecord, WireKind::ProgramRecord, "0030H",
     "3 bytes", WireOutcome::WrongEcho},
    {"handshake", "55", kAttention, WireKind::Handshake, "attention", "", WireOutcome::Good},
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class WireDecoding : public LinkTest, public ::testing::WithParamInterface<Row> {};

TEST_P(WireDecoding, TransactionIsDecoded) {
    link::WireRecorder recorder(clock.now());
    recorder.setBoardAddress("B698");
    link.SetObserver(&recorder);
    openOnTinyBoard();
    board.memory[698] = 1;
    board.memory[1020] = 0xD2;
    board.memory[1021] = 0x04;
    link.RSRead("B698");
    const Row& row = GetParam();
    for (const QString& reply : QString(row.script).split(' ', Qt::SkipEmptyParts))
        line.script({reply == "--" ? std::nullopt : std::optional<int>(reply.toInt(nullptr, 16))});
    row.act(link);
    const link::WireTransaction& t = recorder.log().at(recorder.log().end() - 1);
    EXPECT_EQ(t.kind, row.kind);
    EXPECT_EQ(t.subject, row.subject);
    EXPECT_EQ(t.value, row.value);
    EXPECT_EQ(link::OutcomeText(t.outcome), link::OutcomeText(row.outcome));
    EXPECT_EQ(t.board, row.board);
}

INSTANTIATE_TEST_SUITE_P(EveryKindAndOutcome, WireDecoding, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WireLog, KeepsTheNewestUpToItsCapacity) {
    link::WireLog log(3);
    for (int i = 0; i < 5; ++i) {
        link::WireTransaction t;
        t.subject = QString::number(i);
        log.append(t);
    }
    EXPECT_EQ(log.size(), 3u);
    EXPECT_EQ(log.first(), 2u);
    EXPECT_EQ(log.at(2).subject, "2");
    EXPECT_EQ(log.at(4).subject, "4");
}

TEST_F(LinkTest, SavedTraceReadsAsTheCommandLinesTrace) {
    std::FILE* file = std::tmpfile();
    link::TracingSerialLine tracing(line, clock, file);
    link::WireRecorder recorder(clock.now());
    link.SetObserver(&recorder);
    line.script({std::nullopt, 0x55}); // a late reply: the attention byte goes out again
    link.OpenRSComm(tracing);
    link.RSRead("W1020");
    link.RSWrite("B5", "7");
    link.CloseRSComm();

    QByteArray saved;
    for (auto n = recorder.log().first(); n < recorder.log().end(); ++n)
        link::AppendTrace(saved, recorder.log().at(n));
    std::rewind(file);
    QFile traced;
    ASSERT_TRUE(traced.open(file, QIODevice::ReadOnly));
    EXPECT_EQ(saved, traced.readAll());
    EXPECT_EQ(saved.count('\n'), 3 + 12 + 10 + 2) << saved.toStdString();
    std::fclose(file);
}

} // namespace
