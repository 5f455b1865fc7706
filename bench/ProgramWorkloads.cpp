// Board programs: the dump streams its records (one sum back a record), the upload and the
// verify read two exchanges a byte, in two passes. The dump's two waits that the board needs
// (0.1 s before it, 2 s after it) are no wire time and are taken out of the time taken.
#include "ProgramDump.h"
#include "ProgramFiles.h"
#include "ProgramImage.h"
#include "ProgramUpload.h"
#include "ProgramVerify.h"
#include "WireBench.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace talvern::bench {
namespace {

class YesAnswers final : public link::UserAnswers {
public:
    link::Answer ask(const QString&, const QString&, link::Buttons b, link::Icon) override {
        return b == link::Buttons::Ok ? link::Answer::Ok : link::Answer::Yes;
    }
};

QString Write(const PacedRig& rig, const QString& name, const QByteArray& text) {
    QFile f(rig.folder.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return f.fileName();
}

// Steps a transfer as the progress window does: one step per turn of the event loop, a wait
// as a timer.
template <typename Transfer> void Drive(Transfer& transfer, link::Clock& clock) {
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (!transfer.step()) {
            loop.quit();
            return;
        }
        double wait = 0;
        if constexpr (requires { transfer.resumeAt(); }) wait = transfer.resumeAt() - clock.now();
        timer.start(wait > 0 ? static_cast<int>(wait * 1000.0) + 1 : 0);
    });
    timer.start(0);
    loop.exec();
}

// Code 52 (R6021): 2000H..3FFFH, 512 records of 16 bytes.
constexpr int kFirst = 0x2000;
QByteArray Memory() {
    QByteArray memory(8192, '\0');
    for (int i = 0; i < memory.size(); ++i)
        memory[i] = static_cast<char>(i * 7 + 3);
    return memory;
}

// Every byte of the program memory (and the ident before it) read once.
long SinglePassProgramRead(bool ident) {
    return SinglePassBytes(boards::BoardId::R7520, [ident](SinglePassRig& r) {
        if (ident)
            for (int i = 0; i < 10; ++i)
                r.rs.RSRead(QStringLiteral("B%1").arg(61424 + i));
        for (int i = 0; i < 8192; ++i)
            r.rs.RSRead(QStringLiteral("B%1").arg(kFirst + i));
    });
}

WireResult Dump() {
    PacedRig rig(boards::BoardId::R7520);
    YesAnswers yes;
    const QByteArray memory = Memory();
    Write(rig, "B.hex", targetboard::WriteImage(0x2000, memory));
    Write(rig, "B.rev", "BENCH0;12\r\n");
    targetboard::ProgramSet set;
    set.DownloadFile(Write(rig, "B.bxl", "4B\r\n"), yes);
    targetboard::ProgramDump dump(rig.rs, set, yes, rig.clock);
    Measure m(rig);
    Drive(dump, rig.clock);
    WireResult r = m.result("program dump, 8 KiB (code 52)");
    r.seconds -= 2.1;
    r.failed = !dump.succeeded();
    return r;
}

WireResult Upload() {
    PacedRig rig(boards::BoardId::R7520);
    YesAnswers yes;
    targetboard::ProgramSet set;
    set.UploadFile(Write(rig, "U.bxl", "4U\r\n"), yes);
    targetboard::ProgramUpload upload(rig.rs, set, yes, rig.clock);
    upload.InUploadMode = true;
    Measure m(rig);
    Drive(upload, rig.clock);
    WireResult r = m.result("program upload, 8 KiB (code 52)");
    r.failed = !upload.succeeded();
    r.singlePassBytes = SinglePassProgramRead(true);
    return r;
}

WireResult Verify() {
    PacedRig rig(boards::BoardId::R7520);
    YesAnswers yes;
    const QByteArray memory = Memory();
    for (int i = 0; i < memory.size(); ++i)
        rig.sim.pokeByte(boards::BoardId::R7520, static_cast<std::uint16_t>(kFirst + i),
                         static_cast<std::uint8_t>(memory[i]));
    Write(rig, "V.hex", targetboard::WriteImage(kFirst, memory));
    Write(rig, "V.rev", "BENCH0;12\r\n");
    targetboard::ProgramSet set;
    set.DownloadFile(Write(rig, "V.bxl", "4V\r\n"), yes);
    targetboard::ProgramVerify verify(rig.rs, set, yes, rig.clock);
    Measure m(rig);
    Drive(verify, rig.clock);
    WireResult r = m.result("program verify, 8 KiB (code 52)");
    r.failed = !verify.matches();
    r.singlePassBytes = SinglePassProgramRead(false);
    return r;
}

TALVERN_WIRE_WORKLOAD(40, Dump);
TALVERN_WIRE_WORKLOAD(41, Upload);
TALVERN_WIRE_WORKLOAD(42, Verify);

} // namespace
} // namespace talvern::bench
