#include "platform/settings_store.h"

#include <QSettings>

#include <memory>

namespace kmx::platform {

namespace {

std::unique_ptr<QSettings> open(const QString& file, const QString& application) {
    if (file.isEmpty())
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                           QStringLiteral("Nordvale"), application);
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

}  // namespace

QtSettingsStore QtSettingsStore::forApplication(const QString& application) {
    QtSettingsStore store{QString()};
    store.application_ = application;
    return store;
}

QtSettingsStore::QtSettingsStore(const QString& iniFile) : file_(iniFile) {}

QVariant QtSettingsStore::value(const QString& group, const QString& key, const QVariant& fallback) const {
    const std::unique_ptr<QSettings> settings = open(file_, application_);
    settings->beginGroup(group);
    return settings->value(key, fallback);
}

bool QtSettingsStore::setValue(const QString& group, const QString& key, const QVariant& value) {
    const std::unique_ptr<QSettings> settings = open(file_, application_);
    if (!settings->isWritable()) return false;
    settings->beginGroup(group);
    settings->setValue(key, value);
    settings->endGroup();
    settings->sync();
    return settings->status() == QSettings::NoError;
}

QString QtSettingsStore::fileName() const {
    return open(file_, application_)->fileName();
}

}  // namespace kmx::platform
