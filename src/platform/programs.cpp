#include "platform/programs.h"

#include <QProcess>
#include <QStandardPaths>

namespace kmx::platform {

bool SystemProgramStarter::startDetached(const QString& program, const QStringList& arguments,
                                         const QString& workingDirectory,
                                         const QProcessEnvironment& environment, QString* error) {
    // Looked up on the PATH the program is given, so that it is the one the
    // environment names.
    QString path = program;
    if (!program.contains(QLatin1Char('/'))) {
        const QStringList dirs =
            environment.value(QStringLiteral("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
        path = QStandardPaths::findExecutable(program, dirs);
        if (path.isEmpty()) {
            if (error) *error = QStringLiteral("nie znaleziono programu %1").arg(program);
            return false;
        }
    }
    QProcess p;
    p.setProgram(path);
    p.setArguments(arguments);
    p.setWorkingDirectory(workingDirectory);
    p.setProcessEnvironment(environment);
    p.setStandardInputFile(QProcess::nullDevice());
    if (!p.startDetached()) {
        if (error) *error = p.errorString();
        return false;
    }
    return true;
}

namespace {
ProgramStarter* installed = nullptr;
}

ProgramStarter& programs() {
    static SystemProgramStarter system;
    return installed ? *installed : system;
}

void setPrograms(ProgramStarter* starter) {
    installed = starter;
}

}  // namespace kmx::platform
