#pragma once
// The main window on the simulated boards with scripted boxes; tests run the 500 ms ticks.

#include "FakePlatform.h"
#include "QtPlatform.h"
#include "ScriptedDialogs.h"
#include "SimulatedRig.h"
#include "SimulatedSerialLine.h"
#include "boards/SimulatedBoards.h"
#include "frmMDIMain.h"
#include "modUtility.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <memory>

namespace talvern::testing {

// The one question asked, as "title|text".
inline QString OnlyQuestion(const ScriptedAnswers& answers) {
    if (answers.asked.size() != 1) return QStringLiteral("%1 questions").arg(answers.asked.size());
    return answers.asked[0].title + '|' + answers.asked[0].text;
}

struct AskedInput {
    QString prompt;
    QString title;
    QString defaultText;
};

class ScriptedInput final : public setup::TextInput {
public:
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override {
        asked.push_back({prompt, title, defaultText});
        if (answers.empty()) return {};
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<QString> answers;
    std::vector<AskedInput> asked;
};

// A child screen standing in for the real ones: counts how many are alive.
class ProbeScreen : public QWidget {
public:
    explicit ProbeScreen(int* alive) : alive_(alive) { ++*alive_; }
    ~ProbeScreen() override { --*alive_; }

private:
    int* alive_;
};

class MainWindowTest : public ::testing::Test, protected talvern::testing::SimulatedRig {
protected:
    void SetUp() override {
        shell::MainWindowPlatform platform;
        platform.clock = &clock;
        platform.port = &line;
        platform.answers = &answers;
        platform.events = &events;
        platform.input = &input;
        platform.fileDialogs = &files;
        platform.programFolder = folder.path();
        platform.settingsFile = settingsFile;
        const QString user = folder.filePath("user");
        platform.configureLink = [user](link::RSComm& rs) { rs.SetUserConfigFolder(user); };
        window = std::make_unique<shell::frmMDIMain>(platform);
        for (int i : registered)
            window->registerChild(i, [this] { return new ProbeScreen(&alive); });
        window->Form_Load();
        window->tmrBackgroungUpdate.stop();
    }
    void TearDown() override {
        window.reset();
        flushDeletes();
    }

    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString panel(int n) const { return window->statusPanel(n)->text(); }
    // The file dialogs asked for, each as "open|save INITIAL FILTER".
    QStringList filesAsked() const {
        QStringList asked;
        for (const auto& c : files.calls)
            asked << c.kind + " " + c.initialName + " " + c.filter;
        return asked;
    }
    link::RSComm& rs() { return window->rsLink(); }
    void goOnline() {
        window->mnuViewOnline->trigger();
        ASSERT_TRUE(rs().OnlineMode);
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            window->tmrBackgroungUpdate_Timer();
    }

    std::vector<int> registered{0, 1, 5};
    QString settingsFile; // where the window remembers its place and recent files; "": nowhere
    int alive = 0;
    QTemporaryDir folder;
    ScriptedAnswers answers;
    link::NoEventPump events;
    ScriptedInput input;
    ScriptedDialogs files;
    std::unique_ptr<shell::frmMDIMain> window;
};

} // namespace talvern::testing
