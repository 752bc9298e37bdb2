#pragma once
// Opening web addresses and "mailto:" links with the desktop's handler.

#include <QString>
#include <QUrl>
#include <vector>

namespace kmx::platform {

class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // Hands the address to the desktop; never waits, never reports.
    virtual void open(const QString& address) = 0;
};

// The URL handed to the desktop for an address: "mailto:" links as they are;
// an address without a scheme ("www.x.pl") as http; http, https and ftp
// addresses unchanged. Anything else (an empty text, a local file or program
// path, another scheme) gives an invalid QUrl and is not opened: the
// addresses come from catalogue data, and handing a path to the desktop would
// run or open whatever it names.
QUrl urlForLink(const QString& address);

// QDesktopServices with the URL of urlForLink; an invalid one is skipped.
class DesktopLinkOpener : public LinkOpener {
public:
    void open(const QString& address) override;
};

// Records the addresses instead of opening them (tests).
class RecordingLinkOpener : public LinkOpener {
public:
    void open(const QString& address) override { opened.push_back(address); }
    std::vector<QString> opened;
};

}  // namespace kmx::platform
