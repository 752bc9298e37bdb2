#include "reports/engine/file_write.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <filesystem>
#include <string>

#include "core/safe_file.h"

namespace kmx::reports {

namespace {

QString reasonText(int code) {
    return QString::fromStdString(safefile::Reason(code));
}

// The writers' device over a file replacement: bytes collected in 64 KiB
// pieces and handed on; a failed write fails the device with the Polish
// reason.
class ReplacementDevice : public QIODevice {
public:
    explicit ReplacementDevice(safefile::Replacement& file) : file_(file) {}
    ~ReplacementDevice() override { QIODevice::close(); }

    bool isSequential() const override { return true; }
    // Hands on what is collected; false when the file took less.
    bool drain() {
        if (!pending_.isEmpty()) {
            const bool ok = file_.write(pending_.constData(), static_cast<std::size_t>(pending_.size()));
            pending_.clear();
            if (!ok) setErrorString(reasonText(file_.errorCode()));
        }
        return file_.errorCode() == 0;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override {
        if (file_.errorCode() != 0) return -1;
        pending_.append(data, len);
        if (pending_.size() >= kPiece && !drain()) return -1;
        return len;
    }

private:
    static constexpr qsizetype kPiece = 64 * 1024;
    safefile::Replacement& file_;
    QByteArray pending_;
};

}  // namespace

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
    safefile::Replacement file(
        std::filesystem::path(QFile::encodeName(QDir::toNativeSeparators(path)).toStdString()));
    std::string message;
    if (!file.open(message)) {
        setError(error, QString::fromStdString(message));
        return false;
    }
    ReplacementDevice device(file);
    device.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const bool written = write(device) && device.drain();
    device.close();
    if (!written) {
        // A failed write names the file; a writer's own refusal keeps its text.
        if (file.errorCode() != 0) {
            file.commit(message);
            setError(error, QString::fromStdString(message));
        }
        file.discard();
        return false;
    }
    if (!file.commit(message)) {
        setError(error, QString::fromStdString(message));
        return false;
    }
    return true;
}

}  // namespace kmx::reports
