#pragma once
// Message boxes on a terminal: every message goes to standard error as "[TITLE] TEXT"; questions
// are asked on the terminal when standard input is one, and answered by the options otherwise.

#include "Platform.h"

#include <QStringList>
#include <cstdio>
#include <functional>

namespace talvern::app {

class ConsoleAnswers final : public link::UserAnswers {
public:
    // readLine returns the user's line, or an empty optional at end of input; it is used only
    // when the console is interactive.
    ConsoleAnswers(std::FILE* err, bool interactive, bool yes, bool retryOnFailure,
                   std::function<std::optional<QString>()> readLine);
    link::Answer ask(const QString& text, const QString& title, link::Buttons buttons,
                     link::Icon icon) override;

    QStringList titles; // the title of every message shown, in order

private:
    link::Answer decide(link::Buttons buttons) const;
    std::FILE* err_;
    bool interactive_;
    bool yes_;
    bool retry_;
    std::function<std::optional<QString>()> readLine_;
};

} // namespace talvern::app
