#include "ParameterEditor.h"

#include "FieldCheck.h"
#include "UpDownSpinner.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace talvern::screens {

namespace {
// Focus that moves because another window became active (a message box, another program) is
// not the user leaving or entering a field.
bool WindowSwitch(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}
// Up and Down without modifiers: the keyboard's way to the arrows of a spinner.
int ArrowDirection(const QKeyEvent* key) {
    if (key->modifiers() & ~Qt::KeypadModifier) return 0;
    return key->key() == Qt::Key_Up ? +1 : key->key() == Qt::Key_Down ? -1 : 0;
}
} // namespace

ParameterEditor::ParameterEditor(QAbstractButton* defaultButton, link::UserAnswers* answers,
                                 QObject* parent)
    : QObject(parent), defaultButton_(defaultButton), answers_(answers) {}

int ParameterEditor::addField(QLabel* label, QLineEdit* box, UpDown* spinner) {
    const int i = count();
    fields_.push_back(Field{label, box, spinner});
    fields_.back().identity = box;
    if (label) label->setBuddy(box);
    spinner->setBuddy(box);
    box->installEventFilter(this);
    connect(box, &QLineEdit::textEdited, this, [this, i] { fields_[i].typed = true; });
    connect(spinner, &UpDown::Change, this, [this, i] { spinnerStep(i); });
    spinner->setGate([this, i] { return fields_[i].typed || !stepAllowed_ || stepAllowed_(i); });
    return i;
}

void ParameterEditor::endAllEditing() {
    for (Field& field : fields_) {
        field.editing = false;
        field.typed = false;
    }
}

void ParameterEditor::showValue(int i, const QString& text) {
    Field& field = fields_.at(i);
    if (!field.editing && field.box) field.box->setText(text);
}

void ParameterEditor::setAllText(const QString& text) {
    for (Field& field : fields_)
        if (field.box) field.box->setText(text);
}

void ParameterEditor::setFieldEnabled(int i, bool enabled) {
    Field& field = fields_.at(i);
    if (field.label) field.label->setEnabled(enabled);
    if (field.box) field.box->setEnabled(enabled);
    if (field.spinner) field.spinner->setEnabled(enabled);
}

void ParameterEditor::setAllEnabled(bool enabled) {
    for (int i = 0; i < count(); ++i)
        setFieldEnabled(i, enabled);
}

void ParameterEditor::enterField(int i) {
    Field& field = fields_.at(i);
    field.editing = true;
    EscapePending = false;
    field.entryValue = WholeNumberOf(field.box->text());
    focused_ = i;
    field.box->selectAll();
}

bool ParameterEditor::leaveField(int i) {
    Field& field = fields_.at(i);
    EscapePending = false;
    if (!active_ || checking_) return true;
    // Leaving a field without typing in it changes nothing: the board keeps its value.
    if (!field.typed) {
        field.editing = false;
        return true;
    }
    if (passing_.contains(field.box->text())) {
        field.typed = false;
        field.editing = false;
        return true;
    }
    FieldCheckResult result =
        CheckField(field.box->text(), field.spinner->Min(), field.spinner->Max());
    if (result.passed && refusal_) {
        result.message = refusal_(i, result.value);
        result.passed = result.message.isEmpty();
    }
    if (result.passed) {
        field.typed = false;
        field.editing = false;
        const QString text = QString::number(result.value);
        field.box->setText(text);
        if (commit_) commit_(i, text, result.value, Via::Typed);
        return true;
    }
    checking_ = true;
    if (answers_)
        answers_->ask(result.message, title_ ? title_(i) : kSetupTitle, link::Buttons::Ok,
                      link::Icon::Information);
    checking_ = false;
    field.typed = false;
    field.box->setText(QString::number(field.entryValue));
    if (field.box->isEnabled()) field.box->setFocus(Qt::OtherFocusReason);
    field.box->selectAll();
    // The field is still the one being edited, also when the focus only comes back to it with
    // the screen's activation after the message window closed (a focus gain this filter lets
    // pass without entering the field again): leaving it must run the check once more.
    focused_ = i;
    return false;
}

void ParameterEditor::pressEscape(int i) {
    Field& field = fields_.at(i);
    field.box->setText(QString::number(field.entryValue));
    field.typed = false;
    if (EscapePending) {
        EscapePending = false;
        field.editing = false;
        focusDefault();
    } else {
        EscapePending = true;
        field.box->selectAll();
    }
}

void ParameterEditor::pressEnter(int i) {
    EscapePending = false;
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(fields_.at(i).box, &tab);
}

void ParameterEditor::spinnerStep(int i) {
    Field& field = fields_.at(i);
    field.editing = false;
    field.typed = false;
    EscapePending = false;
    // The step hands its own value over; leaving the field on the way must not do it again.
    stepping_ = i;
    focusDefault();
    stepping_ = -1;
    field.editing = false;
    field.typed = false;
    const QString text = field.box->text();
    if (commit_) commit_(i, text, WholeNumberOf(text), Via::Spinner);
}

void ParameterEditor::focusDefault() {
    if (defaultButton_) defaultButton_->setFocus(Qt::OtherFocusReason);
}

int ParameterEditor::indexOf(QObject* box) const {
    for (int i = 0; i < count(); ++i)
        if (fields_[i].identity == box) return i;
    return -1;
}

bool ParameterEditor::eventFilter(QObject* watched, QEvent* event) {
    const int i = indexOf(watched);
    if (i < 0) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::FocusIn:
            if (!WindowSwitch(static_cast<QFocusEvent*>(event)->reason())) enterField(i);
            break;
        case QEvent::FocusOut:
            // Only the field that had the focus is left (a refused check hands the focus back
            // before the new widget ever had it).
            if (!WindowSwitch(static_cast<QFocusEvent*>(event)->reason()) && focused_ == i) {
                focused_ = -1;
                if (stepping_ == i) {
                    fields_[i].editing = false;
                } else if (!leaveField(i)) {
                    // The focus is back in the field with its text selected; the box must not
                    // handle a focus loss that did not happen.
                    return true;
                }
            }
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) enterField(i);
            break;
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                pressEnter(i);
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                pressEscape(i);
                return true;
            }
            if (const int direction = ArrowDirection(key)) {
                EscapePending = false;
                // The step ends the edit (the focus goes to cmdDefault) and the keyboard comes
                // back to the field it stepped, so Up and Down only ever step the field that
                // has the keyboard focus, and pressing them again steps it again.
                const Field& field = fields_.at(i);
                if (field.spinner->step(direction) && field.box && field.box->isEnabled())
                    field.box->setFocus(Qt::OtherFocusReason);
                return true;
            }
            EscapePending = false;
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace talvern::screens
