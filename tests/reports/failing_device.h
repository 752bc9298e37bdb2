#pragma once
// A device that takes a number of bytes and then fails every write, for the
// writers' error paths.

#include <QIODevice>
#include <QString>

namespace kmx::reports {

class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 limit) : limit_(limit) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override {
        if (written_ + len > limit_) {
            setErrorString(QStringLiteral("Brak miejsca na dysku"));
            return -1;
        }
        written_ += len;
        return len;
    }

private:
    qint64 limit_;
    qint64 written_ = 0;
};

}  // namespace kmx::reports
