#pragma once
// A screen of numeric set-up fields, each bound to one board address and one position of the
// working values: the editor's fields refreshed from the board online and from the working
// values offline; an accepted edit is stored in the working values and, online without a link
// failure, written to the board at once. Offline the fields are disabled unless offline editing
// is on; switching it takes effect at the next pass. Online a field shows "-" after a failed
// read, and its arrows step only from a value the board is known to hold (read alike by two
// passes in a row, or written by the user).
//
// A screen builds its controls, calls addParameter() for each field in address order (and
// addAddress() for addresses it shows otherwise), lays them out and calls load().

#include "BoardScreen.h"
#include "ParameterEditor.h"
#include "SeenValue.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <vector>

namespace talvern::screens {

class UpDown;

class ParameterScreen : public BoardScreen {
    Q_OBJECT
public:
    ParameterScreen(int boardNumber, QWidget* parent = nullptr);
    ~ParameterScreen() override;

    ParameterEditor& editor() { return *editor_; }
    QPushButton* defaultButton() const { return cmdDefault_; }
    bool PassComplete = false;

    // The field of an address index, or -1 when that index is not an editor field.
    int fieldOfIndex(int index) const;

protected:
    // Creates label, text box and spinner named <stem>_<field> ("lblBMSetup_0", ...), adds them
    // to the editor and the address list. position: index in the working values, -1 for none.
    int addParameter(const QString& stem, const QString& caption, const QString& address,
                     std::int32_t min, std::int32_t max, int position);
    // An address read by the pass but not an editor field (a check box, a read-out).
    int addAddress(const QString& address, int position);
    // A group box named <stem>_<index> with a grid of label | text box | spinner rows.
    QGroupBox* makeGroup(const QString& name, const QString& title);
    void addFieldRow(QGroupBox* group, int field);
    // Lines up the label columns of all groups and gives every text box the same width.
    void alignColumns();

    // What the editor does with an accepted value (store, then write when online).
    virtual void commitField(int field, const QString& text, std::int32_t value);
    // Writes a value to address index i when online without a link failure; what the board
    // then holds is known when the write got through.
    void writeIfOnline(int i, const QString& text);
    // What the passes know of address index i.
    setup::SeenValue& seen(int i) { return seen_.at(i); }

    void SetupOnlineDisplay() override;
    void SetupOfflineDisplay() override;
    // Records the reading in seen(i) and shows it in the field (the number, or "-").
    void showRead(int i, const std::optional<QString>& value) override;
    bool hasOfflinePass() const override { return true; }
    void showOffline(int i) override;
    void passEnded() override { PassComplete = true; }
    void onActivate() override;
    void onUnload() override;

    // Controls outside the editor fields that set-up enables or disables with them.
    std::vector<QWidget*> extraControls;
    std::vector<QGroupBox*> groups;
    std::vector<int> positions;  // by address index
    std::vector<int> fieldIndex; // by address index, -1 when not a field
    // Runs after the display set-ups (the dependency of fields on a check box).
    virtual void afterOnlineSetup() {}

private:
    ParameterEditor* editor_;
    QPushButton* cmdDefault_;
    std::vector<setup::SeenValue> seen_; // by address index
};

} // namespace talvern::screens
