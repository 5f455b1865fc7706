#pragma once
#include "FakePlatform.h"
#include "QtPlatform.h"
#include "RSComm.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace talvern::testing {

// A link opened on a scripted line, with its side files in a temporary program folder.
class LinkTest : public ::testing::Test {
protected:
    LinkTest() : link(clock, answers, events, folder.path()) {
        link.SetUserConfigFolder(folder.filePath("user"));
        line.setResponder(std::ref(board));
    }

    void openOnTinyBoard() {
        link.OpenRSComm(line);
        ASSERT_TRUE(link.OnlineMode);
        line.clearLog();
    }
    std::vector<std::uint8_t> sent() const { return line.sent; }

    QTemporaryDir folder;
    FakeClock clock;
    ScriptedAnswers answers;
    link::NoEventPump events;
    ScriptedLine line{clock};
    TinyBoard board;
    link::RSComm link;
};

using Bytes = std::vector<std::uint8_t>;

} // namespace talvern::testing
