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

struct Row {
    const char* name;
    std::function<void(link::RSComm&, ScriptedLine&, TinyBoard&)> act;
    WireKind kind;
    QString subject;
    QString value;
    WireOutcome outcome;
    int board = 1;
};

const Bytes kRecord{0x02, 0x33, 0x7A}; // at 0030H, summed by the board to E2

const Row kRows[] = {
    {"read", [](auto& rs, auto&, auto&) { rs.RSRead("W1020"); }, WireKind::Read, "W1020", "1234",
     WireOutcome::Good},
    {"read_agreeing_with_the_last",
     [](auto& rs, auto&, auto&) {
         rs.RSRead("W1020");
         rs.RSRead("w1020");
     },
     WireKind::Read, "w1020", "1234", WireOutcome::Confirmed},
    {"wrong_echo",
     [](auto& rs, auto& line, auto&) {
         line.script({0x07});
         rs.RSRead("W1020");
     },
     WireKind::Read, "W1020", "", WireOutcome::WrongEcho},
    {"read_after_a_failed_one",
     [](auto& rs, auto& line, auto&) {
         line.script({0x07});
         rs.RSRead("W1020");
         rs.RSRead("W1020");
     },
     WireKind::Read, "W1020", "1234", WireOutcome::Retried},
    {"no_reply",
     [](auto& rs, auto&, auto& board) {
         board.silent = true;
         rs.RSRead("W1020");
     },
     WireKind::Read, "W1020", "", WireOutcome::NoReply, 0},
    {"late_reply",
     [](auto& rs, auto& line, auto&) {
         line.script({std::nullopt, 0x03, 0xD2, 0x03, 0x04});
         rs.RSRead("W1020");
     },
     WireKind::Read, "W1020", "1234", WireOutcome::LateReply},
    {"write", [](auto& rs, auto&, auto&) { rs.RSWrite("W1020", "99"); }, WireKind::Write, "W1020",
     "99", WireOutcome::Good},
    {"write_repeated_after_a_wrong_echo",
     [](auto& rs, auto& line, auto&) {
         line.script({0x55, 0x55, 0x03, 0xFC, 0x00});
         rs.RSWrite("W1020", "99");
     },
     WireKind::Write, "W1020", "99", WireOutcome::Retried},
    {"pls_read_word",
     [](auto& rs, auto& line, auto&) {
         line.script({0x55, 0x55, 0x68, 0x01});
         rs.PLSScaleFactor();
     },
     WireKind::PlsCommand, "scale factor", "360", WireOutcome::Good},
    {"pls_single_setpoint",
     [](auto& rs, auto& line, auto&) {
         line.script({0x55, 0x55, 0x68, 0x01, 0x55, 0x55, 0x68, 0x01, 0x55, 0x55, 0x55, 0x55, 0x55,
                      0x55, 0x55, 0x55, 0x55, 0x00, 0x55});
         rs.SingleSetpoint(2, 10, 300); // the scale it checks against is read twice alike
     },
     WireKind::PlsCommand, "scale factor, scale factor, channel 2", "360; 360; on 10, off 300",
     WireOutcome::Good},
    {"program_record",
     [](auto& rs, auto& line, auto&) {
         line.script({std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0xE2});
         rs.SendProgramRecord(0x30, QByteArray("\x02\x33\x7A", 3));
     },
     WireKind::ProgramRecord, "0030H", "3 bytes", WireOutcome::Good},
    {"program_record_wrong_sum",
     [](auto& rs, auto& line, auto&) {
         line.script({std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0xE1});
         rs.SendProgramRecord(0x30, QByteArray("\x02\x33\x7A", 3));
     },
     WireKind::ProgramRecord, "0030H", "3 bytes", WireOutcome::WrongEcho},
    {"handshake",
     [](auto& rs, auto& line, auto&) {
         line.script({0x55});
         rs.SendAttention();
     },
     WireKind::Handshake, "attention", "", WireOutcome::Good},
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
    row.act(link, line, board);
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
    line.setResponder(std::ref(board));
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
