#include "LinkFixture.h"
#include "SideFiles.h"
#include "TestData.h"

#include <QDir>
#include <QFile>

using namespace talvern;
using namespace talvern::testing;

namespace {
void WriteFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contents);
}
QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

TEST_F(LinkTest, AMissingOrEmptySettingsFileGetsTheDefaultsAndALowerCaseFolderIsFound) {
    link.OpenRSComm(line);
    EXPECT_EQ(link.CommSettingsFile(), folder.filePath("Support/RSPort.cfg"));
    EXPECT_EQ(ReadFile(folder.filePath("Support/RSPort.cfg")), "1,9600\r\n");
    EXPECT_EQ(std::pair(line.openedWith.port, line.openedWith.baud), std::pair(1, 9600));
    QDir(folder.filePath("Support")).removeRecursively();
    WriteFile(folder.filePath("support/rsport.cfg"), "");
    link.OpenRSComm(line);
    EXPECT_EQ(ReadFile(folder.filePath("support/rsport.cfg")), "1,9600\r\n");
    EXPECT_FALSE(QFile::exists(folder.filePath("Support/RSPort.cfg")));
}

TEST_F(LinkTest, SettingsAreClampedWithoutRewritingTheFile) {
    const std::tuple<QByteArray, int, int> cases[] = {
        {"5,4800\r\n", 5, 9600},
        {"120,19200\r\n", 99, 19200},
        {" 7 , 19200 ", 7, 19200},
        {"0,9600", 1, 9600},
        {"x,y", 1, 9600},
        // Only the first 256 bytes count, for the link as for the comm-port dialog.
        {TestData("port-line-past-64-bytes.cfg"), 1, 19200}};
    for (const auto& [contents, port, baud] : cases) {
        WriteFile(folder.filePath("Support/RSPort.cfg"), contents);
        link.OpenRSComm(line);
        EXPECT_EQ(std::pair(line.openedWith.port, line.openedWith.baud), std::pair(port, baud))
            << contents.constData();
        EXPECT_EQ(ReadFile(folder.filePath("Support/RSPort.cfg")), contents);
    }
}

TEST_F(LinkTest, AnInstalledProgramKeepsItsSettingsInTheUserFolderSeededFromItsOwn) {
    // Even where the program folder could be written (run by root), nothing is written there.
    WriteFile(folder.filePath("support/RSPort.cfg"), "4,19200\r\n");
    link.SetSettingsInUserFolder(true);
    link.OpenRSComm(line);
    EXPECT_EQ(link.CommSettingsFile(), folder.filePath("user/RSPort.cfg"));
    EXPECT_EQ(ReadFile(folder.filePath("user/RSPort.cfg")), "4,19200\r\n");
    EXPECT_EQ(line.openedWith.port, 4);
    EXPECT_EQ(ReadFile(folder.filePath("support/RSPort.cfg")), "4,19200\r\n");
}

TEST(ProgramFolders, BesideTheProgramOrInstalledUnderShare) {
    QTemporaryDir root;
    const QDir dir(root.path());
    dir.mkpath("build/bin/Support");
    dir.mkpath("usr/bin");
    dir.mkpath("usr/share/talvern/Help");
    dir.mkpath("bare/bin");
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"build/bin", "build/bin", false},
        {"usr/bin", "usr/share/talvern", true},
        {"bare/bin", "bare/bin", false}};
    for (const auto& [executableFolder, data, installed] : cases) {
        const link::ProgramFolders found = link::FindProgramFolders(dir.filePath(executableFolder));
        EXPECT_EQ(found.data, dir.filePath(data)) << executableFolder;
        EXPECT_EQ(found.installed, installed) << executableFolder;
    }
}

TEST_F(LinkTest, APortThatWillNotOpenIsNamedWithWhyInTheCommPortError) {
    const QString device = folder.filePath("ttyUSB9"); // nothing there
    link.SetDeviceOverride(device);
    link::QtSerialLine real(clock);
    link.OpenRSComm(real);
    EXPECT_FALSE(link.OnlineMode);
    EXPECT_TRUE(link.CommError);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].title, "Comm Port Error");
    const QString& text = answers.asked[0].text;
    EXPECT_TRUE(
        text.startsWith("Error Number = 1\r\nError Source = TALVERN\r\n\r\n" + device + ": "))
        << text.toStdString();
    EXPECT_TRUE(text.contains("\r\n\r\n" + device + " is not connected")) << text.toStdString();
}

TEST(OpenFailureReason, EachErrorOfTheSerialPortInWordsAnEngineerCanActOn) {
    using E = QSerialPort;
    using A = link::DeviceAccess;
    const struct {
        QSerialPort::SerialPortError error;
        A access;
        const char* says; // "" = nothing to add to the system's own text
    } cases[] = {
        {E::DeviceNotFoundError, A::Missing, "/dev/ttyUSB0 is not connected"},
        {E::PermissionError, A::Missing, "/dev/ttyUSB0 is not connected"},
        {E::PermissionError, A::Denied,
         "Permission to use /dev/ttyUSB0 is denied. The user must be in the dialout group: run  "
         "sudo adduser $USER dialout  and then log out and log in again."},
        {E::PermissionError, A::Allowed, "/dev/ttyUSB0 is busy: another program holds it"},
        {E::OpenError, A::Allowed, "/dev/ttyUSB0 is busy"},
        {E::ResourceError, A::Allowed, "unplug the adapter and plug it in again"},
        {E::UnsupportedOperationError, A::Allowed, "/dev/ttyUSB0 is not a serial port"},
        {E::UnknownError, A::Allowed, ""},
    };
    for (const auto& c : cases) {
        const QString reason = link::OpenFailureReason(c.error, c.access, "/dev/ttyUSB0");
        EXPECT_EQ(reason.isEmpty(), *c.says == 0) << c.error;
        EXPECT_TRUE(reason.contains(QString::fromUtf8(c.says))) << reason.toStdString();
    }
}

TEST_F(LinkTest, ADevicePulledOutDuringAPassIsALinkFailureAndOpensAgainOnceBack) {
    openOnTinyBoard();
    board.memory[1020] = 120;
    line.goneAfter(3); // the handshake and the first address byte go through
    answers.answers = {link::Answer::Cancel};
    const double start = clock.now();
    EXPECT_EQ(link.RSRead("W1020"), "0");
    EXPECT_EQ(link.RSRead("W182"), "0"); // the rest of the pass fails at once
    EXPECT_TRUE(link.CommError);
    EXPECT_TRUE(link.LastTransactionFailed());
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].title, "WARNING - Communication Error!");
    EXPECT_LT(clock.now() - start, 6.0) << "the time-outs of a pulled cable, no more";
    link.OpenRSComm(line); // plugged back in
    EXPECT_TRUE(link.OnlineMode);
    EXPECT_EQ(link.RSRead("W1020"), "120");
}

TEST_F(LinkTest, FaultDescriptionLooksCodesUpIgnoringCase) {
    EXPECT_EQ(link.FaultDescription(26), "Fault Code (1AH): --- Fault File Not Found ---");
    WriteFile(folder.filePath("support/FaultErrCodes.txt"),
              "00,\"No fault\"\r\n1a , \"Watchdog, processor reset\"\r\n  7B,  Spare text  \r\n");
    EXPECT_EQ(link.FaultDescription(0), "Fault Code (00H): No fault");
    EXPECT_EQ(link.FaultDescription(26), "Fault Code (1AH): Watchdog, processor reset");
    EXPECT_EQ(link.FaultDescription(123), "Fault Code (7BH): Spare text");
    EXPECT_EQ(link.FaultDescription(77), "Fault Code (4DH): ");
}

TEST_F(LinkTest, FirmwareRevisionOfflineSendsNothingAndCloseSaysGoodbye) {
    EXPECT_EQ(link.FirmwareRev(), -1);
    EXPECT_TRUE(line.sent.empty());
    openOnTinyBoard();
    board.memory[8159] = 42;
    board.memory[8176] = 0x1A;
    EXPECT_EQ(link.FirmwareRev(), 42);
    EXPECT_EQ(link.FaultCode(), 26);
    line.clearLog();
    link.CloseRSComm();
    EXPECT_EQ(sent(), (Bytes{0xFF}));
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(link.OnlineMode);
}

TEST(FieldStream, QuotedFieldsKeepCommasAndUnquotedAreTrimmed) {
    EXPECT_EQ(link::ReadFieldStream("a , \"b, c\"\r\n\r\n d,e,\n"),
              (QStringList{"a", "b, c", "d", "e", ""}));
    // The fault display takes the first record of a code, the target-board page the last.
    EXPECT_EQ(link::CodeDescriptionIn("1A,one\r\n1a,two\r\n", "1A", false), "one");
    EXPECT_EQ(link::CodeDescriptionIn("1A,one\r\n1a,two\r\n", "1A", true), "two");
}
