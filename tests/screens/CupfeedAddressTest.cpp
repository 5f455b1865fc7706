// "Tune Cupfeed Servo Motor" against the simulated R7520: each field and read-out shows (and
// each gain writes) its own address, the negative peak keeps its 16-bit sign, and the trace
// marks only the writes the board took.

#include "ScreenFixture.h"
#include "TestModeNotice.h"
#include "UpDownSpinner.h"
#include "frmCpfdTune.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace talvern::testing {
namespace {

using boards::BoardId;
using screens::frmCpfdTune;
constexpr auto R = BoardId::R7520;

class CupfeedAddress : public ScreenFixture {
protected:
    CupfeedAddress() { sim.moveCable(R); }
    ~CupfeedAddress() override { shell::ServoTestModeNotice().set(false); }
    void openOnline() {
        goOnline();
        screen = std::make_unique<frmCpfdTune>();
        screen->setClock(&clock);
        open(*screen);
        runPass(*screen);
        runPass(*screen);
    }
    QLineEdit* box(int i) { return screen->editor().box(i); }
    std::unique_ptr<frmCpfdTune> screen;
};

TEST_F(CupfeedAddress, EachGainAndReadoutIsItsOwnAddress) {
    // The machine stands, so the peaks stay as poked; B1128 keeps the board's own 5.
    sim.pokeWord(R, 1126, 17);
    sim.pokeWord(R, 1120, 230);
    sim.pokeWord(R, 1122, 31);
    sim.pokeWord(R, 610, 7);
    sim.pokeWord(R, 612, 65436); // a negative peak sent signed
    openOnline();
    const struct {
        int address;
        bool byte;
        const char* shown;
        const char* typed;
    } gains[] = {{1126, false, "17", "18"},
                 {1128, true, "5", "6"},
                 {1120, false, "230", "231"},
                 {1122, false, "31", "32"}};
    for (int field = 0; field < 4; ++field) {
        const auto& g = gains[field];
        EXPECT_EQ(box(field)->text(), QString::fromLatin1(g.shown)) << g.address;
        typeOver(box(field), QString::fromLatin1(g.typed));
        const int now = g.byte ? sim.peekByte(R, g.address) : sim.peekWord(R, g.address);
        EXPECT_EQ(QString::number(now), QString::fromLatin1(g.typed)) << g.address;
    }
    EXPECT_EQ(screen->lblCpfdTuneData(5)->text(), QStringLiteral("7"));
    EXPECT_EQ(screen->lblCpfdTuneData(6)->text(), QStringLiteral("65436"));
    ASSERT_FALSE(screen->trace().samples().empty());
    EXPECT_EQ(screen->trace().samples().back().positivePeak, 7);
    EXPECT_EQ(screen->trace().samples().back().negativePeak, -100);
}

TEST_F(CupfeedAddress, TheTraceMarksOnlyWritesTheBoardTook) {
    openOnline();
    answers.answers = {link::Answer::Yes};
    QTest::mouseClick(screen->chkCpfdTune(), Qt::LeftButton);
    ASSERT_TRUE(screen->chkCpfdTune()->isChecked());
    const struct {
        const char* name;
        int field;
        const char* typed;
        const char* marker;
    } writes[] = {{"gain", 2, "120", "I 120"},
                  {"output", frmCpfdTune::kOutputField, "10", "Out 10%"}};
    for (const auto& w : writes) {
        SCOPED_TRACE(w.name);
        const std::size_t before = screen->trace().markers().size();
        sim.setSilent(true); // the write cannot get through
        answers.answers = {link::Answer::Cancel};
        typeOver(box(w.field), QStringLiteral("7"));
        EXPECT_EQ(screen->trace().markers().size(), before) << "the board did not take it";
        sim.clearFaults();
        link.CommError = false;
        goOnline();
        typeOver(box(w.field), QString::fromLatin1(w.typed));
        ASSERT_EQ(screen->trace().markers().size(), before + 1);
        EXPECT_EQ(screen->trace().markers().back().label, QString::fromLatin1(w.marker));
    }
}

} // namespace
} // namespace talvern::testing
