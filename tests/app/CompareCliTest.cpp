// talvern-cli sdt diff, compare and log against the simulated boards: the exit status scripts
// rely on, and the lines they print.
#include "CliFixture.h"
#include "SdtFile.h"
#include "SetupFiles.h"

using namespace talvern;

namespace {

class CompareCli : public talvern::testing::CliFixture {
protected:
    // The file with one value changed.
    void changed(const QString& from, const QString& to, int row, int value) {
        QString message;
        auto data = setup::LoadSdtFile(file(from), &message);
        ASSERT_TRUE(data) << message.toStdString();
        data->ParamValue[row] = value;
        ASSERT_TRUE(setup::SaveSdtFile(file(to), *data, &message));
    }
};

TEST_F(CompareCli, ExitStatusSaysWhetherAnythingDiffers) {
    ASSERT_EQ(runCli({"upload", "k2510", file("board.sdt")}, true, false), 0);
    changed("board.sdt", "other.sdt", 1, 77);
    struct Case {
        QStringList command;
        std::function<void()> before;
        int status;
        QString output;
    };
    const QString w1022 = QStringLiteral("W1022 BDC Stop Position at High Speed (degrees): ");
    const std::vector<Case> cases{
        {{"sdt", "diff", file("board.sdt"), file("board.sdt")}, {}, 0, ""},
        {{"sdt", "diff", file("board.sdt"), file("other.sdt")}, {}, 1, w1022 + "0 -> 77\n"},
        {{"sdt", "diff", file("board.sdt"), file("none.sdt")}, {}, 2, ""},
        {{"compare", "k2510", file("board.sdt")}, {}, 0, ""},
        {{"compare", "k2510", file("other.sdt")}, {}, 1, w1022 + "77 -> 0\n"},
        {{"compare", "k2510", file("board.sdt")}, [this] { sim.unplug(); }, 3, ""},
    };
    for (const Case& c : cases) {
        if (c.before) c.before();
        EXPECT_EQ(runCli(c.command, false, false), c.status) << c.command.join(' ').toStdString();
        if (c.status != 3) EXPECT_EQ(output().toStdString(), c.output.toStdString());
    }
}

TEST_F(CompareCli, LogPrintsTheWritesOfTheCommands) {
    changes = std::make_unique<setup::ChangeLog>(file("changes.log"));
    ASSERT_EQ(runCli({"write", "W1020", "12"}, false, false), 0);
    ASSERT_EQ(runCli({"log", "--board", "k2510"}, false, false), 0);
    EXPECT_TRUE(output().contains(
        "K2510  W1020 BDC Stop Position at Low Speed (degrees): 0 -> 12  talvern-cli write  "
        "confirmed"))
        << output().toStdString();
    ASSERT_EQ(runCli({"log", "--board", "r7520"}, false, false), 0);
    EXPECT_EQ(output(), "");
    EXPECT_EQ(runCli({"log", "--since", "yesterday"}, false, false), 2);
}

} // namespace
