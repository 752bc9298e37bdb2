#include "platform/mail.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QUrl>

namespace kmx::platform {

namespace {

QString encoded(const QString& text, const QByteArray& keep = {}) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

}  // namespace

QString mailtoUri(const MailMessage& m) {
    // "@" stays readable in the address; everything else outside the
    // unreserved characters is encoded, "-" at its start included harmlessly.
    QString uri = QStringLiteral("mailto:") + encoded(m.recipientAddress, "@");
    QStringList fields;
    if (!m.subject.isEmpty()) fields << QStringLiteral("subject=") + encoded(m.subject);
    if (!m.body.isEmpty()) {
        QString body = m.body;
        body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        body.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        fields << QStringLiteral("body=") + encoded(body);
    }
    if (!m.attachment.isEmpty())
        fields << QStringLiteral("attach=") + encoded(QFileInfo(m.attachment).absoluteFilePath(), "/");
    if (!fields.isEmpty()) uri += QLatin1Char('?') + fields.join(QLatin1Char('&'));
    return uri;
}

int XdgEmail::send(const MailMessage& message) {
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments({mailtoUri(message)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted(5000)) {
        delete process;
        return -1;
    }
    // The window stays responsive while the mail program starts; the
    // hourglass says that something is under way.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QEventLoop loop;
    QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
    if (process->state() != QProcess::NotRunning) loop.exec(QEventLoop::ExcludeUserInputEvents);
    QGuiApplication::restoreOverrideCursor();
    if (process->state() != QProcess::NotRunning) {
        // The mail program holds on to it: the message is with the mail
        // program; the process is left to end by itself.
        process->setParent(QCoreApplication::instance());
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return 0;
    }
    const int code = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : 4;
    delete process;
    return code;
}

namespace {
MailGateway* installed = nullptr;
}

MailGateway& mail() {
    static XdgEmail system;
    return installed ? *installed : system;
}

void setMail(MailGateway* gateway) {
    installed = gateway;
}

}  // namespace kmx::platform
