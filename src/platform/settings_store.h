#pragma once
// The per-user settings store (window placement, grid layouts, the program's
// path), on top of QSettings. Tests point it at a private file.

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace kmx::platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QVariant value(const QString& group, const QString& key, const QVariant& fallback = {}) const = 0;
    // False when the store cannot be written (a read-only file, for example).
    virtual bool setValue(const QString& group, const QString& key, const QVariant& value) = 0;
};

// QSettings in INI format in the user's configuration folder, organisation
// "Nordvale", the application named (each edition keeps its own), or the
// file given (tests).
// Every write is synced at once, so a failure shows in its result.
class QtSettingsStore : public SettingsStore {
public:
    // In the user's configuration folder under Nordvale/<application>.
    static QtSettingsStore forApplication(const QString& application);
    explicit QtSettingsStore(const QString& iniFile);
    QVariant value(const QString& group, const QString& key, const QVariant& fallback = {}) const override;
    bool setValue(const QString& group, const QString& key, const QVariant& value) override;
    // The file the store reads and writes.
    QString fileName() const;

private:
    QString file_;
    QString application_;
};

}  // namespace kmx::platform
