#include "ConsoleAnswers.h"

namespace talvern::app {

using link::Answer;
using link::Buttons;

ConsoleAnswers::ConsoleAnswers(std::FILE* err, bool interactive, bool yes, bool retryOnFailure,
                               std::function<std::optional<QString>()> readLine)
    : err_(err), interactive_(interactive), yes_(yes), retry_(retryOnFailure),
      readLine_(std::move(readLine)) {}

Answer ConsoleAnswers::decide(Buttons buttons) const {
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return yes_ ? Answer::Ok : Answer::Cancel;
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            return yes_ ? Answer::Yes : Answer::No;
        case Buttons::RetryCancel:
            return retry_ ? Answer::Retry : Answer::Cancel;
    }
    return Answer::Cancel;
}

Answer ConsoleAnswers::ask(const QString& text, const QString& title, Buttons buttons, link::Icon) {
    titles << title;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fprintf(err_, "[%s] %s\n", title.toLocal8Bit().constData(),
                 shown.toLocal8Bit().constData());
    std::fflush(err_);
    // --yes answers confirmation questions even at a terminal; the link's Retry/Cancel
    // questions are still asked there.
    const bool confirmation = buttons != Buttons::Ok && buttons != Buttons::RetryCancel;
    if (buttons == Buttons::Ok || !interactive_ || (confirmation && yes_)) {
        const Answer answer = decide(buttons);
        // Nobody saw the question: say how it was answered, and how to answer it otherwise.
        if (confirmation && !yes_) {
            std::fprintf(err_, "(answered %s; --yes answers %s)\n",
                         answer == Answer::Cancel ? "Cancel" : "No",
                         buttons == Buttons::OkCancel ? "OK" : "Yes");
            std::fflush(err_);
        }
        return answer;
    }

    struct Choice {
        const char* prompt;
        QChar key;
        Answer answer;
    };
    std::vector<Choice> choices;
    switch (buttons) {
        case Buttons::OkCancel:
            choices = {{"(O)K", QLatin1Char('o'), Answer::Ok},
                       {"(C)ancel", QLatin1Char('c'), Answer::Cancel}};
            break;
        case Buttons::YesNo:
            choices = {{"(Y)es", QLatin1Char('y'), Answer::Yes},
                       {"(N)o", QLatin1Char('n'), Answer::No}};
            break;
        case Buttons::YesNoCancel:
            choices = {{"(Y)es", QLatin1Char('y'), Answer::Yes},
                       {"(N)o", QLatin1Char('n'), Answer::No},
                       {"(C)ancel", QLatin1Char('c'), Answer::Cancel}};
            break;
        case Buttons::RetryCancel:
            choices = {{"(R)etry", QLatin1Char('r'), Answer::Retry},
                       {"(C)ancel", QLatin1Char('c'), Answer::Cancel}};
            break;
        case Buttons::Ok:
            break;
    }
    for (;;) {
        QString prompt;
        for (const Choice& c : choices)
            prompt += QString::fromLatin1(c.prompt) + QLatin1Char(' ');
        std::fprintf(err_, "%s? ", prompt.trimmed().toLocal8Bit().constData());
        std::fflush(err_);
        const std::optional<QString> line = readLine_ ? readLine_() : std::nullopt;
        if (!line) return decide(buttons);
        const QString answer = line->trimmed().toLower();
        for (const Choice& c : choices)
            if (!answer.isEmpty() && answer.at(0) == c.key) return c.answer;
    }
}

} // namespace talvern::app
