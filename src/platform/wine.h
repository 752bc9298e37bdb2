#pragma once
// The Wine prefix the Windows cost-estimating programs run in, and Windows
// paths of it: a drive letter is a link in <prefix>/dosdevices ("c:" ->
// "../drive_c", "z:" -> "/").

#include <QString>

namespace kmx::platform {

// $WINEPREFIX when set and not empty (made absolute and cleaned), else ~/.wine.
QString winePrefix();

class WinePaths {
public:
    explicit WinePaths(QString prefix);

    // "C:\\Program Files\\Nordvale\\Tessar Pro\\TESSAR4.EXE" -> the Unix path,
    // through <prefix>/dosdevices/c:. Each component after the drive is
    // matched without regard to letter case, as Windows does (the file on disk
    // may be "tessar4.exe"); components that do not exist yet keep their
    // spelling. "/" is a separator too, "." is dropped, ".." goes one folder
    // up but never above the drive's root. Empty when the drive has no link
    // or the path is not a drive path ("C:x", "\\\\server\\share", "x").
    QString toUnix(const QString& windowsPath) const;

    // An absolute Unix path -> a Windows path through the drive that maps to
    // "/" (normally Z:): "/home/a b/x.kmx" -> "Z:\\home\\a b\\x.kmx". When no
    // drive maps to "/", the drive whose link target is the longest prefix of
    // the path. Empty when none fits, for a relative path and for a path with
    // a backslash in a name (it has no Windows spelling).
    QString toWindows(const QString& unixPath) const;

    // The drive letter (lower case) mapping to "/" ('z' normally), or 0.
    char rootDrive() const;

    // The folder drive `letter` leads to: the link's target made absolute
    // (a relative one is relative to dosdevices) and cleaned, or the folder
    // itself when dosdevices holds a real folder under that name. Empty when
    // the drive has no link.
    QString driveRoot(char letter) const;

    const QString& prefix() const { return prefix_; }

private:
    QString prefix_;
};

}  // namespace kmx::platform
