#include "CpfdText.h"

#include <QStringList>
#include <cstring>

namespace talvern::signatures {

QString SampleText(float value, const QLocale& locale) {
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(static_cast<double>(value), 'g', 7);
}

QString PGainText(const CpfdData& data, const QLocale& locale) {
    return locale.toString(data.PGain(), 'f', 2);
}

QByteArray ExportText(const CpfdData& d, const QLocale& locale, const QString& lineEnd) {
    QString text;
    const QChar tab = QLatin1Char('\t');
    text += QStringLiteral("P") + tab + PGainText(d, locale) + lineEnd;
    text += QStringLiteral("I") + tab + locale.toString(d.IGain) + lineEnd;
    text += QStringLiteral("D") + tab + locale.toString(d.DGain) + lineEnd;
    text += QStringLiteral("Pos\tCurr\tErr\tProfile\tDesired") + lineEnd;
    for (int i = 0; i < d.Count(); ++i) {
        QStringList fields;
        for (const SampleArray* a : {&d.Pos, &d.Curr, &d.Err, &d.Profile, &d.Desired})
            fields << SampleText((*a)[i], locale);
        text += fields.join(tab) + lineEnd;
    }
    return text.toLocal8Bit();
}

bool SignatureChanged(const CpfdData& current, const CpfdData& saved) {
    const auto differs = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) != 0; };
    for (int i = 0; i < current.Count(); ++i)
        for (const auto member : {&CpfdData::Pos, &CpfdData::Curr, &CpfdData::Err,
                                  &CpfdData::Profile, &CpfdData::Desired})
            if (differs((current.*member)[i], (saved.*member)[i])) return true;
    return current.PGainInt != saved.PGainInt || current.PGainFrac != saved.PGainFrac ||
           current.IGain != saved.IGain || current.DGain != saved.DGain;
}

std::optional<link::Answer> AskSaveChanges(const CpfdData& current, const CpfdData& saved,
                                           link::UserAnswers& answers) {
    if (!SignatureChanged(current, saved)) return std::nullopt;
    return answers.ask(QStringLiteral("Save Changes to File?"),
                       QStringLiteral("Servo Cupfeed Data"), link::Buttons::YesNoCancel,
                       link::Icon::Exclamation);
}

} // namespace talvern::signatures
