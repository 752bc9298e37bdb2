#include "reports/engine/file_write.h"

#include <QDir>
#include <QIODevice>
#include <QSaveFile>

namespace kmx::reports {

void setError(QString* error, const QString& message) {
    if (error) *error = message;
}

QString writeFailed(const QString& reason) {
    return QStringLiteral("Nie można zapisać pliku: %1").arg(reason);
}

bool writeAll(QIODevice& out, const QByteArray& bytes, QString* error) {
    if (out.write(bytes) != bytes.size()) {
        setError(error, writeFailed(out.errorString()));
        return false;
    }
    return true;
}

bool saveFile(const QString& path, QString* error, const std::function<bool(QIODevice&)>& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("Nie można zapisać pliku %1: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    if (!write(file)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, writeFailed(file.errorString()));
        return false;
    }
    return true;
}

}  // namespace kmx::reports
