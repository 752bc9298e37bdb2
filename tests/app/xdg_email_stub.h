#pragma once
// A stand-in xdg-email first on PATH for one test: it records how many
// arguments it was given and the first one, and exits with the status the
// test chose. PATH is restored when it goes.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <QUrlQuery>

namespace kmx::guitest {

class XdgEmailStub {
public:
    explicit XdgEmailStub(int exitStatus = 0) : oldPath_(qgetenv("PATH")) {
        EXPECT_TRUE(dir_.isValid());
        const QString script = dir_.filePath(QStringLiteral("xdg-email"));
        QFile f(script);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.write("printf '%s' \"$#\" > '" + QFile::encodeName(dir_.filePath("argc")) + "'\n");
        f.write("printf '%s' \"$1\" > '" + QFile::encodeName(dir_.filePath("arg1")) + "'\n");
        f.write("exit " + QByteArray::number(exitStatus) + "\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(dir_.path()) + ":" + oldPath_);
    }
    ~XdgEmailStub() { qputenv("PATH", oldPath_); }
    XdgEmailStub(const XdgEmailStub&) = delete;
    XdgEmailStub& operator=(const XdgEmailStub&) = delete;

    bool called() const { return QFile::exists(dir_.filePath(QStringLiteral("arg1"))); }
    int argumentCount() const { return read("argc").toInt(); }
    // The mailto URI it was handed, as bytes.
    QByteArray uri() const { return read("arg1"); }
    // Its parts, decoded.
    QString address() const {
        const QByteArray u = uri();
        const qsizetype q = u.indexOf('?');
        return QUrl::fromPercentEncoding(u.mid(7, q < 0 ? -1 : q - 7));
    }
    QString field(const QString& name) const {
        const QByteArray u = uri();
        const qsizetype q = u.indexOf('?');
        if (q < 0) return {};
        for (const QByteArray& pair : u.mid(q + 1).split('&')) {
            const qsizetype eq = pair.indexOf('=');
            if (QString::fromLatin1(pair.left(eq)) == name)
                return QUrl::fromPercentEncoding(pair.mid(eq + 1));
        }
        return {};
    }

private:
    QByteArray read(const char* name) const {
        QFile f(dir_.filePath(QString::fromLatin1(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir_;
    QByteArray oldPath_;
};

// A PATH on which no xdg-email can be found, for one test.
class NoXdgEmail {
public:
    NoXdgEmail() : oldPath_(qgetenv("PATH")) { qputenv("PATH", QFile::encodeName(dir_.path())); }
    ~NoXdgEmail() { qputenv("PATH", oldPath_); }
    NoXdgEmail(const NoXdgEmail&) = delete;
    NoXdgEmail& operator=(const NoXdgEmail&) = delete;

private:
    QTemporaryDir dir_;
    QByteArray oldPath_;
};

}  // namespace kmx::guitest
