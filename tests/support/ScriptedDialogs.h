#pragma once
// File dialogs that answer from a script and record what they were asked.

#include "FileDialogs.h"

#include <QString>
#include <deque>
#include <vector>

namespace talvern::testing {

class ScriptedDialogs final : public setup::FileDialogs {
public:
    struct Call {
        QString kind; // "open" or "save"
        QString initialName;
        QString filter;
    };
    std::deque<QString> choices; // taken in order; an empty text, or none left, is Cancel
    std::vector<Call> calls;

    QString openFile(const QString& initialName, const QString& filter) override {
        return next({QStringLiteral("open"), initialName, filter});
    }
    QString saveFile(const QString& initialName, const QString& filter) override {
        return next({QStringLiteral("save"), initialName, filter});
    }

private:
    QString next(Call call) {
        calls.push_back(std::move(call));
        const QString chosen = choices.empty() ? QString() : choices.front();
        if (!choices.empty()) choices.pop_front();
        return chosen;
    }
};

} // namespace talvern::testing
