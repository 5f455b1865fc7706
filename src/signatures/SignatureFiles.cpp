#include "SignatureFiles.h"

#include "CpfdText.h"
#include "SdtFile.h"
#include "SetupFiles.h"

namespace talvern::signatures {

SignatureFileCommands::SignatureFileCommands(SignatureRecord& record, link::UserAnswers& answers,
                                             setup::FileDialogs& dialogs)
    : record_(record), answers_(answers), dialogs_(&dialogs) {}

void SignatureFileCommands::tell(const QString& message) {
    answers_.ask(message, QStringLiteral("Servo Cupfeed Data"), link::Buttons::Ok,
                 link::Icon::Exclamation);
}

bool SignatureFileCommands::SaveData() {
    const QString path = dialogs_->saveFile(dataFilePath, kCfdFilter);
    if (path.isEmpty()) return false;
    QString message;
    if (!SaveCfdFile(path, record_.CpfdData, &message)) {
        tell(message);
        return false;
    }
    record_.CpfdDataSaved = record_.CpfdData;
    record_.CpfdFileTitle = setup::FileTitleOf(path);
    dataFilePath = path;
    return true;
}

bool SignatureFileCommands::OpenData() {
    const std::optional<link::Answer> answer =
        AskSaveChanges(record_.CpfdData, record_.CpfdDataSaved, answers_);
    if (answer == link::Answer::Cancel) return false;
    if (answer == link::Answer::Yes && !SaveData()) return false;
    const QString path = dialogs_->openFile(dataFilePath, kCfdFilter);
    if (path.isEmpty()) return false;
    QString message;
    const std::optional<CpfdData> loaded = LoadCfdFile(path, &message);
    if (!loaded) {
        tell(message);
        return false;
    }
    record_.CpfdData = *loaded;
    record_.CpfdDataSaved = *loaded;
    record_.CpfdFileTitle = setup::FileTitleOf(path);
    dataFilePath = path;
    return true;
}

bool SignatureFileCommands::ExportData() {
    const QString path = dialogs_->saveFile(exportFilePath, kTextFilter);
    if (path.isEmpty()) return false;
    QString message;
    if (!setup::SaveTextFile(path, ExportText(record_.CpfdData), &message)) {
        tell(message);
        return false;
    }
    exportFilePath = path;
    return true;
}

} // namespace talvern::signatures
