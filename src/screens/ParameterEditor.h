#pragma once
// The behaviour every numeric set-up field shares, whichever screen it sits on: a label, a text
// box and its spinner per field; entering a field (focus or click) selects its text and
// remembers its number; Enter moves on; one Escape restores the number, a second leaves the
// field; leaving a field the user typed in checks the text against the spinner's limits and
// either hands the accepted number to the screen or refuses it with the range message and keeps
// the focus; a spinner step (an arrow clicked, or Up/Down in the field that has the keyboard
// focus) ends the edit and hands the stepped number over at once. While a box shows no number
// its arrows do nothing.
//
// What an accepted number means (store it, write it to the board, convert it) is the screen's
// business: it sets a Commit. The editor touches no link and no shared data.

#include "Platform.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

class QAbstractButton;
class QLabel;
class QLineEdit;

namespace talvern::screens {

class UpDown;

class ParameterEditor : public QObject {
    Q_OBJECT
public:
    // How an accepted value arrived.
    enum class Via { Typed, Spinner };
    // i: field index; text: the field's text as accepted (a whole number); value: its number.
    using Commit = std::function<void(int i, const QString& text, std::int32_t value, Via via)>;

    // defaultButton is cmdDefault: it takes the focus when an edit ends.
    ParameterEditor(QAbstractButton* defaultButton, link::UserAnswers* answers,
                    QObject* parent = nullptr);

    // Adds a field; the spinner becomes the box's buddy spinner. Returns the field index.
    int addField(QLabel* label, QLineEdit* box, UpDown* spinner);
    int count() const { return static_cast<int>(fields_.size()); }
    QLabel* label(int i) const { return fields_.at(i).label; }
    QLineEdit* box(int i) const { return fields_.at(i).box; }
    UpDown* spinner(int i) const { return fields_.at(i).spinner; }

    void setCommit(Commit commit) { commit_ = std::move(commit); }
    // Title of the range message for a field ("Set-up" unless set).
    void setMessageTitle(std::function<QString(int i)> title) { title_ = std::move(title); }
    // Texts that pass the check as they stand and commit nothing (a marker, not a number).
    void setPassingTexts(QStringList texts) { passing_ = std::move(texts); }
    // Whether a field's arrows may step from the number it shows (a screen online allows it only
    // for a value it knows the board holds); a number the user typed may always be stepped.
    void setStepAllowed(std::function<bool(int i)> allowed) { stepAllowed_ = std::move(allowed); }
    // A screen's own condition on a number within the limits: a message refuses the number as
    // the range message does (same title, the entry value back, the focus kept).
    void setRefusal(std::function<QString(int i, std::int32_t value)> refusal) {
        refusal_ = std::move(refusal);
    }

    // --- Field state ---
    bool Editing(int i) const { return fields_.at(i).editing; }
    std::int32_t EntryValue(int i) const { return fields_.at(i).entryValue; }
    bool EscapePending = false;
    // Ends every edit (the screen closes); leaving a field afterwards checks nothing.
    void endAllEditing();
    // While inactive (screen closed) leaving a field does nothing.
    void setActive(bool active) { active_ = active; }

    // --- What the refresh does ---
    // Shows a value unless the user is editing the field.
    void showValue(int i, const QString& text);
    void setAllText(const QString& text);
    // Label, text box and spinner of a field together.
    void setFieldEnabled(int i, bool enabled);
    void setAllEnabled(bool enabled);

    // --- The notifications, public so that screens and tests can raise them ---
    void enterField(int i);
    // The check on leaving; false when refused (the focus is then kept in the field).
    bool leaveField(int i);
    void pressEscape(int i);
    void pressEnter(int i);
    void spinnerStep(int i);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        QLabel* label = nullptr;
        QPointer<QLineEdit> box;
        UpDown* spinner = nullptr;
        bool editing = false;
        std::int32_t entryValue = 0;
        bool typed = false; // the user changed the text since entering
        // The box only as an identity for the event filter: compared, never used, so that
        // events sent while the box is being destroyed are recognised without a cast.
        const QObject* identity = nullptr;
    };
    int indexOf(QObject* box) const;
    void focusDefault();

    std::vector<Field> fields_;
    QPointer<QAbstractButton> defaultButton_;
    link::UserAnswers* answers_;
    Commit commit_;
    std::function<QString(int)> title_;
    QStringList passing_;
    std::function<QString(int, std::int32_t)> refusal_;
    std::function<bool(int)> stepAllowed_;
    int focused_ = -1;  // the field that last got the focus
    int stepping_ = -1; // the field whose spinner is stepping
    bool checking_ = false;
    bool active_ = true;
};

} // namespace talvern::screens
