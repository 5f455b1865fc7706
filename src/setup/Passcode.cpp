#include "Passcode.h"

#include "VerifiedTransfer.h"

namespace talvern::setup {

void ChangeSetupPasscode(link::RSComm& link, TextInput& input,
                         const std::function<bool()>& k2510OnCable) {
    const QString address = QString::fromLatin1(kPasscodeAddress);
    QString current;
    if (!link.CommError) {
        if (!k2510OnCable()) return;
        // The box offers the board's passcode, which OK writes back: a confirmed one, or none.
        current = link::ReadVerified(link, address).value_or(QString());
    }
    const QString answer = input.InputBox(QStringLiteral("Please Enter New Passcode (0-65535)"),
                                          QStringLiteral("Keypad Set-up Passcode"), current);
    if (answer.isEmpty() || link.CommError) return;
    if (k2510OnCable()) link.RSWrite(address, answer);
}

} // namespace talvern::setup
