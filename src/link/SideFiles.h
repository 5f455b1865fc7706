#pragma once
// Side files under the program folder (support/RSPort.cfg, support/FaultErrCodes.txt, ...).
// The folder and file names were written on a system that ignores case, so "Support" and
// "support" must be the same folder here too.

#include <QString>
#include <QStringList>
#include <optional>

namespace talvern::link {

// The path of folder/relativePath where each component that exists is matched without regard
// to case; components that do not exist keep the spelling given.
QString FindSideFile(const QString& folder, const QString& relativePath);

// Where the program's side files are. A copy run from its build or unpacked folder keeps
// support/ and Help/ beside the executable; an installed copy has them in ../share/talvern
// (/usr/bin/talvern reads /usr/share/talvern) and writes nothing there.
struct ProgramFolders {
    QString data;           // the folder holding support/ and Help/
    bool installed = false; // data is the shared, read-only folder of an installation
};
ProgramFolders FindProgramFolders(const QString& executableFolder);

// The port settings file: one line "port,speed". Spaces around a field are ignored. Only the
// first kPortFileBytes bytes of the file count, so that every reader of the file (the link when
// it opens the port, the comm-port dialog) sees the same settings.
inline constexpr qint64 kPortFileBytes = 256;
struct PortFileLine {
    int port = 1;
    QString speed = QStringLiteral("9600");
};
PortFileLine ParsePortFileLine(const QByteArray& contents);
// Writes "port,speed" and a line end, creating the folder; false with a reason on failure.
bool WritePortFile(const QString& path, int port, const QString& speed, QString* error);

// Record files of comma-separated fields: a field may be quoted (and then hold commas);
// unquoted fields are trimmed. Fields are read as one stream, as the record reader of the
// original platform does, so records are taken two fields at a time.
QStringList ReadFieldStream(const QByteArray& contents);

// The description of a code in a record file of code and description pairs (the fault and the
// communication-error texts): that of the first record whose code equals the code without regard
// to case, or of the last with lastWins; nothing when no record has it.
std::optional<QString> CodeDescriptionIn(const QByteArray& contents, const QString& code,
                                         bool lastWins);

} // namespace talvern::link
