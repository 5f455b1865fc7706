#pragma once
// A one-line question with a default answer; an empty answer also stands for Cancel. Logic takes
// it as a collaborator so that tests can script the answers.

#include <QString>

namespace talvern::setup {

class TextInput {
public:
    virtual ~TextInput() = default;
    virtual QString InputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
};

} // namespace talvern::setup
