#include "Passcode.h"

namespace talvern::setup {

void ChangeSetupPasscode(link::RSComm& link, TextInput& input) {
    const QString address = QString::fromLatin1(kPasscodeAddress);
    QString current;
    if (!link.CommError) current = link.RSRead(address);
    const QString answer = input.InputBox(QStringLiteral("Please Enter New Passcode (0-65535)"),
                                          QStringLiteral("Keypad Set-up Passcode"), current);
    if (!answer.isEmpty() && !link.CommError) link.RSWrite(address, answer);
}

} // namespace talvern::setup
