#include "platform/wine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace kmx::platform {

namespace {

bool isAsciiLetter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// QDir::cleanPath keeps "/.." at the start of an absolute path; above "/" there is only "/".
QString cleanAbsolute(const QString& path) {
    QString clean = QDir::cleanPath(path);
    while (clean == QLatin1String("/..") || clean.startsWith(QLatin1String("/../")))
        clean.remove(0, 3);
    return clean.isEmpty() ? QStringLiteral("/") : clean;
}

QString joined(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

bool existsOrLinks(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The entry of `folder` that is `name` regardless of letter case; empty when
// there is none. Of several, the one spelled exactly, else the first in byte
// order, so that the answer does not depend on the order of the listing.
QString matchInFolder(const QString& folder, const QString& name) {
    if (existsOrLinks(joined(folder, name))) return name;
    QStringList candidates;
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0) candidates << entry;
    if (candidates.isEmpty()) return {};
    std::sort(candidates.begin(), candidates.end());
    return candidates.front();
}

}  // namespace

QString winePrefix() {
    const QString set = qEnvironmentVariable("WINEPREFIX");
    if (!set.isEmpty()) return QDir::cleanPath(QDir::current().absoluteFilePath(set));
    return QDir::homePath() + QStringLiteral("/.wine");
}

WinePaths::WinePaths(QString prefix) : prefix_(std::move(prefix)) {}

QString WinePaths::driveRoot(char letter) const {
    if (!isAsciiLetter(QLatin1Char(letter))) return {};
    const QString devices = prefix_ + QStringLiteral("/dosdevices");
    // Wine names the links in lower case; an upper-case one made by hand counts too.
    const char lower = char(QChar::toLower(char32_t(letter)));
    const char upper = char(QChar::toUpper(char32_t(letter)));
    for (const char spelled : {lower, upper}) {
        const QString link = devices + QLatin1Char('/') + QLatin1Char(spelled) + QLatin1Char(':');
        const std::filesystem::path path(QFile::encodeName(link).toStdString());
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
        if (error) continue;
        if (std::filesystem::is_symlink(status)) {
            const std::filesystem::path target = std::filesystem::read_symlink(path, error);
            if (error || target.empty()) continue;
            const QString text = QFile::decodeName(QByteArray::fromStdString(target.native()));
            return target.is_absolute() ? cleanAbsolute(text) : cleanAbsolute(joined(devices, text));
        }
        if (std::filesystem::is_directory(status)) return cleanAbsolute(QDir(link).absolutePath());
    }
    return {};
}

char WinePaths::rootDrive() const {
    for (char letter = 'z'; letter >= 'a'; --letter)
        if (driveRoot(letter) == QLatin1String("/")) return letter;
    return 0;
}

QString WinePaths::toUnix(const QString& windowsPath) const {
    if (windowsPath.size() < 2 || !isAsciiLetter(windowsPath[0]) || windowsPath[1] != QLatin1Char(':')) return {};
    const auto isSeparator = [](QChar c) { return c == QLatin1Char('\\') || c == QLatin1Char('/'); };
    // "C:name" is relative to the drive's current folder, which a prefix does not have.
    if (windowsPath.size() > 2 && !isSeparator(windowsPath[2])) return {};
    const QString root = driveRoot(windowsPath[0].toLatin1());
    if (root.isEmpty()) return {};

    QStringList parts;
    qsizetype begin = 2;
    for (qsizetype i = 2; i <= windowsPath.size(); ++i) {
        if (i < windowsPath.size() && !isSeparator(windowsPath[i])) continue;
        const QString part = windowsPath.mid(begin, i - begin);
        begin = i + 1;
        if (part.isEmpty() || part == QLatin1String(".")) continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty()) parts.removeLast();
            continue;
        }
        parts << part;
    }

    QString path = root;
    bool onDisk = true;  // every component so far exists, so the next one may be looked up
    for (const QString& part : parts) {
        if (onDisk) {
            const QString match = matchInFolder(path, part);
            onDisk = !match.isEmpty();
            path = joined(path, onDisk ? match : part);
        } else {
            path = joined(path, part);
        }
    }
    return path;
}

QString WinePaths::toWindows(const QString& unixPath) const {
    if (!unixPath.startsWith(QLatin1Char('/')) || unixPath.contains(QLatin1Char('\\'))) return {};
    const QString path = cleanAbsolute(unixPath);
    char drive = rootDrive();
    QString rest = path;
    if (!drive) {
        qsizetype longest = -1;
        for (char letter = 'a'; letter <= 'z'; ++letter) {
            const QString root = driveRoot(letter);
            if (root.isEmpty() || root.size() <= longest) continue;
            if (path == root || path.startsWith(joined(root, QString()))) {
                drive = letter;
                longest = root.size();
            }
        }
        if (!drive) return {};
        rest = path.mid(longest);
    }
    if (!rest.startsWith(QLatin1Char('/'))) rest.prepend(QLatin1Char('/'));
    rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return QChar::fromLatin1(char(QChar::toUpper(char32_t(drive)))) + QLatin1Char(':') + rest;
}

}  // namespace kmx::platform
