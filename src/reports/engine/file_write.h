#pragma once
// Writing the engine's files: one message for a failed write, one way to
// replace a file only when all of it was written.

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

namespace kmx::reports {

void setError(QString* error, const QString& message);
// "Nie można zapisać pliku: " and the system's reason.
QString writeFailed(const QString& reason);
// Writes all the bytes or fails with writeFailed.
bool writeAll(QIODevice& out, const QByteArray& bytes, QString* error);
// Writes a file through `write`, replacing it only when all of it was written
// (core/safe_file.h: a new file beside it renamed over it; a failure keeps
// the old file and names the file and the reason in *error).
bool saveFile(const QString& path, QString* error, const std::function<bool(QIODevice&)>& write);

}  // namespace kmx::reports
