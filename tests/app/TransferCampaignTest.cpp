// The fault campaign. Every transfer that stores or writes what crosses the link runs once
// without faults, then once per byte position of its exchange (a dense sample of a long one)
// with each fault the simulated cable can inject. Every run must end within the link's
// time-outs, and either succeed with exactly the fault-free result or report its failure and
// leave its target file as it was: a transfer never stores a value the board did not send.
//
// A transfer is one row of Transfers(): how to prepare the boards and the file, and how to run
// it and take its result. New transfers join by adding a row.

#include "CliCommands.h"
#include "CliFixture.h"
#include "ConsoleAnswers.h"
#include "FaultCampaign.h"
#include "ProgramImage.h"
#include "ProgramVersion.h"
#include "SdtFile.h"
#include "SetupData.h"
#include "SimulatedSerialLine.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>

using namespace talvern;
using boards::BoardId;
using namespace talvern::testing;

namespace {

// One run's world: fresh boards with the machine at rest, a fresh link and console, one clock.
struct CampaignRig {
    explicit CampaignRig(const QString& folder)
        : folder(folder), link(clock, answers, events, folder) {
        // Each reply takes its time on the wire, in virtual time: a loop that polls the board
        // (the PLS READY poll) then reaches its deadline as it would on a real line.
        sim.setPacing(9600);
        sim.stopMachine();
        clock.advance(60); // long enough for the bodymaker to come to rest
    }
    ~CampaignRig() {
        std::fclose(out);
        std::fclose(err);
    }
    int cli(const QStringList& command) {
        app::CliContext context{link, line, answers, out, err};
        return app::RunCliCommand(context, command);
    }

    QString folder;
    talvern::testing::FakeClock clock;
    app::BoardsClockFromLinkClock boardsClock{clock};
    boards::SimulatedBoards sim{boardsClock, 90.0};
    app::SimulatedSerialLine line{sim, clock};
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    app::ConsoleAnswers answers{err, false, true, false, nullptr};
    link::NoEventPump events;
    link::RSComm link;
};

struct Outcome {
    int status = 0;
    QByteArray result; // what the transfer produced: an upload's file, a download's board values
};

struct CampaignTransfer {
    const char* name;
    // Boards and target file before the run (any link traffic here is not part of the run).
    std::function<void(CampaignRig&, const QString& file)> prepare;
    std::function<Outcome(CampaignRig&, const QString& file)> run;
    // The target file: left as it was by a failed run.
    const char* fileName = "campaign.sdt";
    // Fault positions per fault: every byte of a short exchange, an even spread over a long one.
    long mostPositions = 250;
};

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString ThisVersion() {
    return setup::ProgramVersionTag(setup::ProgramMajor(), setup::ProgramMinor(),
                                    setup::ProgramRevision());
}

// A set-up file whose every value differs from what the boards hold.
void WriteFile(const QString& path) {
    setup::SetupData d = setup::FactoryDefaults(ThisVersion());
    for (int i = 0; i <= setup::gSetupMax; ++i)
        d.ParamValue[i] = i == 7 ? 1 : 200 + i;
    d.ParamValue[19] = 77; // a byte
    d.PLSCfg0 = 6;
    d.PLSCfgRest = {1, 2, 3, 4, 5, 6, 7, 8};
    QString message;
    ASSERT_TRUE(setup::SaveSdtFile(path, d, &message)) << message.toStdString();
}

// Board values every row of the table can tell apart, and a PLS with set and empty channels.
void FillBoards(CampaignRig& r) {
    const auto& table = setup::ParameterTable();
    for (int i = 0; i <= setup::gSetupMax; ++i) {
        const link::ParsedAddress a = link::ParseAddressText(table[i].address);
        const BoardId board =
            table[i].board == setup::Board::K2510 ? BoardId::K2510 : BoardId::R7520;
        for (int k = 0; k < a.byteCount(); ++k)
            r.sim.pokeByte(board, static_cast<std::uint16_t>(a.byteAddress + k),
                           static_cast<std::uint8_t>(a.isBit ? 0x34 : 17 * i + 3 * k + 1));
    }
    link::RSComm setter(r.clock, r.answers, r.events, r.folder);
    setter.OpenRSComm(r.line);
    setter.SingleSetpoint(0, 10, 20, true);
    setter.SingleSetpoint(3, 300, 5, true);
    setter.SingleSetpoint(6, 0, 359, true);
    setter.CloseRSComm();
    // The motion board works its live values (positions, errors) out afresh whenever time
    // moves: let it do so now, so that a run that waits out a time-out reads the same values.
    r.clock.advance(1);
    r.sim.peekByte(BoardId::K2510, 0);
    r.sim.peekByte(BoardId::R7520, 0);
}

// The values at every address a download writes, and the PLS.
QByteArray BoardValues(CampaignRig& r, int first, int last) {
    const auto& table = setup::ParameterTable();
    QByteArray values;
    const BoardId board =
        table[first].board == setup::Board::K2510 ? BoardId::K2510 : BoardId::R7520;
    for (int i = first; i <= last; ++i) {
        const link::ParsedAddress a = link::ParseAddressText(table[i].address);
        for (int k = 0; k < a.byteCount(); ++k)
            values.append(static_cast<char>(
                r.sim.peekByte(board, static_cast<std::uint16_t>(a.byteAddress + k))));
    }
    if (board == BoardId::K2510) {
        auto& pls = r.sim.k2510();
        values += QByteArray::number(pls.plsScale()) + ' ' + QByteArray::number(pls.plsOffset());
        for (std::uint8_t b : pls.plsConfig())
            values += ' ' + QByteArray::number(b);
        for (int c = 0; c < boards::k2510::kChannels; ++c)
            for (const auto& w : pls.channel(c))
                values += QByteArray(" ") + QByteArray::number(c) + ':' + QByteArray::number(w.on) +
                          '-' + QByteArray::number(w.off);
    }
    return values;
}

CampaignTransfer Upload(const char* name, const char* board, BoardId cable) {
    return {name,
            [cable](CampaignRig& r, const QString& file) {
                WriteFile(file);
                FillBoards(r);
                r.sim.moveCable(cable);
            },
            [board](CampaignRig& r, const QString& file) {
                Outcome o;
                o.status = r.cli({"upload", board, file});
                o.result = Contents(file);
                return o;
            }};
}

CampaignTransfer Download(const char* name, const char* board, BoardId cable, int first, int last) {
    return {name,
            [cable](CampaignRig& r, const QString& file) {
                WriteFile(file);
                FillBoards(r);
                r.sim.moveCable(cable);
            },
            [board, first, last](CampaignRig& r, const QString& file) {
                Outcome o;
                o.status = r.cli({"download", board, file});
                o.result = BoardValues(r, first, last);
                return o;
            }};
}

// A board program on the motion board (code 52: 8192 bytes from 2000H) that no two bytes of
// a record share, its ident block, and a program file set beside `image` naming that code.
constexpr int kProgramFirst = 0x2000;
constexpr int kProgramBytes = 8192;
std::uint8_t ProgramByte(int i) {
    return static_cast<std::uint8_t>(i * 7 + i / 256);
}
QString SetFile(const QString& image, const char* extension) {
    return image.left(image.size() - 3) + QLatin1String(extension);
}
void WriteText(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}
void PrepareProgram(CampaignRig& r, const QString& image) {
    for (int i = 0; i < kProgramBytes; ++i)
        r.sim.pokeByte(BoardId::R7520, static_cast<std::uint16_t>(kProgramFirst + i),
                       ProgramByte(i));
    const QByteArray ident("CAMPAIGN\x5A\x07", 10);
    for (int i = 0; i < ident.size(); ++i)
        r.sim.pokeByte(BoardId::R7520, static_cast<std::uint16_t>(61424 + i),
                       static_cast<std::uint8_t>(ident[i]));
    r.sim.moveCable(BoardId::R7520);
    WriteText(SetFile(image, "bxl"), "4CAMPAIGN\r\n");
}

CampaignTransfer ProgramUploadRow() {
    return {"program_upload",
            [](CampaignRig& r, const QString& image) {
                PrepareProgram(r, image);
                WriteText(SetFile(image, "rev"), "OLD0;12\r\n");
                WriteText(image, ":00000001FF\r\n");
            },
            [](CampaignRig& r, const QString& image) {
                Outcome o;
                o.status = r.cli({"program", "upload", SetFile(image, "bxl")});
                o.result = Contents(image) + Contents(SetFile(image, "rev"));
                return o;
            },
            "campaign.hex",
            // Each run reads the whole program memory, whose reads all run alike: a sparser
            // spread keeps the campaign short.
            40};
}

// Verify of a short image that differs from the board in two bytes: a run succeeds when it
// compares to the end, and its result is the report, which must name the same differences.
CampaignTransfer ProgramVerifyRow() {
    return {"program_verify",
            [](CampaignRig& r, const QString& image) {
                PrepareProgram(r, image);
                QByteArray memory;
                for (int i = 0; i < 48; ++i)
                    memory.append(static_cast<char>(ProgramByte(i)));
                memory[5] = static_cast<char>(memory[5] ^ 0x40);
                memory[40] = static_cast<char>(memory[40] ^ 0x01);
                WriteText(image, targetboard::WriteImage(kProgramFirst, memory));
            },
            [](CampaignRig& r, const QString& image) {
                Outcome o;
                o.status = r.cli({"program", "verify", SetFile(image, "bxl")});
                o.result = talvern::testing::Slurp(r.out).toUtf8();
                if (o.status == app::kFailed && o.result.startsWith("Program in board differs"))
                    o.status = app::kDone;
                return o;
            },
            "campaign.hex"};
}

// A servo signature acquired into a new file: a failed run leaves no file.
CampaignTransfer SignatureRow() {
    return {"signature_acquire",
            [](CampaignRig& r, const QString& file) {
                QFile::remove(file);
                r.sim.moveCable(BoardId::R7520);
            },
            [](CampaignRig& r, const QString& file) {
                Outcome o;
                o.status = r.cli({"signature", "acquire", file});
                o.result = Contents(file);
                return o;
            },
            "campaign.cfd", 120};
}

void PrintTo(const CampaignTransfer& t, std::ostream* os) {
    *os << t.name;
}

const std::vector<CampaignTransfer>& Transfers() {
    static const std::vector<CampaignTransfer> transfers{
        Upload("upload_k2510", "k2510", BoardId::K2510),
        Upload("upload_r7520", "r7520", BoardId::R7520),
        Download("download_k2510", "k2510", BoardId::K2510, 0, 7),
        Download("download_r7520", "r7520", BoardId::R7520, 14, 21),
        ProgramUploadRow(),
        ProgramVerifyRow(),
        SignatureRow(),
    };
    return transfers;
}

class Campaign : public ::testing::TestWithParam<CampaignTransfer> {};

TEST_P(Campaign, EveryFaultAtEveryByteEndsWithTheFaultFreeResultOrAReportedFailure) {
    const CampaignTransfer& t = GetParam();
    QTemporaryDir folder;
    const QString file = folder.filePath(QLatin1String(t.fileName));

    Outcome clean;
    long bytes = 0;
    double duration = 0;
    {
        CampaignRig r(folder.path());
        t.prepare(r, file);
        const long start = r.sim.bytesSent();
        const double began = r.clock.now();
        clean = t.run(r, file);
        bytes = r.sim.bytesSent() - start;
        duration = r.clock.now() - began;
        ASSERT_EQ(clean.status, app::kDone) << talvern::testing::Slurp(r.err).toStdString();
    }

    int runs = 1, successes = 1, failures = 0, silent = 0;
    for (Fault fault : kFaults) {
        for (long position : Positions(bytes, t.mostPositions)) {
            CampaignRig r(folder.path());
            t.prepare(r, file);
            const QByteArray before = Contents(file);
            r.sim.injectFault(fault, position);
            const double began = r.clock.now();
            const Outcome o = t.run(r, file);
            const std::string where = std::string(FaultName(fault)) + " at byte " +
                                      std::to_string(position) + " of " + std::to_string(bytes);
            ++runs;
            EXPECT_LE(r.clock.now() - began, duration + kLinkPatience) << where;
            if (o.status == app::kDone) {
                ++successes;
                if (o.result != clean.result) {
                    ++silent;
                    ADD_FAILURE() << "success with another result: " << where << "\n"
                                  << o.result.toHex().toStdString() << "\n"
                                  << clean.result.toHex().toStdString();
                }
            } else {
                ++failures;
                const QString said = talvern::testing::Slurp(r.err);
                EXPECT_FALSE(said.isEmpty()) << "failure without a message: " << where;
                EXPECT_EQ(Contents(file), before) << "file changed by a failed run: " << where;
            }
        }
    }
    std::printf("%s: %ld bytes, %d runs, %d successes, %d reported failures, %d silent\n", t.name,
                bytes, runs, successes, failures, silent);
    EXPECT_EQ(silent, 0);
}

INSTANTIATE_TEST_SUITE_P(Transfers, Campaign, ::testing::ValuesIn(Transfers()),
                         [](const ::testing::TestParamInfo<CampaignTransfer>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
