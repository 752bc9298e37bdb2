#pragma once
// Handing an e-mail to the user's mail program. The desktop's way is
// xdg-email: it opens the mail program's compose window with the message
// filled in, and the user edits and sends it there. The program never talks
// to a mail server itself.

#include <QString>

namespace kmx::platform {

struct MailMessage {
    QString subject;
    QString body;        // lines joined by "\n"
    QString attachment;  // a file path, or empty
    QString senderName;
    QString senderAddress;
    QString recipientName;
    QString recipientAddress;
};

// The message as one "mailto:" URI: the address and every field
// percent-encoded from UTF-8 (line ends as %0D%0A), so that nothing in it can
// be read as an option, a word break or a quote. An empty address gives
// "mailto:?subject=...". The names have no place in a mailto URI and the
// sender is the mail program's own; an attachment goes as "attach=" with its
// absolute path.
QString mailtoUri(const MailMessage& message);

class MailGateway {
public:
    virtual ~MailGateway() = default;
    // 0 when the mail program took the message, -1 when no way to hand it over
    // could be started, else the hand-over's own error code.
    virtual int send(const MailMessage& message) = 0;
};

// xdg-email from PATH, started without a shell with the mailto URI as its
// only argument. Its exit status is the code (1 syntax error, 2 file missing,
// 3 tool missing, 4 action failed); a mail program that keeps xdg-email
// running longer than `waitMs` counts as having taken the message.
class XdgEmail : public MailGateway {
public:
    int send(const MailMessage& message) override;
    QString program = QStringLiteral("xdg-email");
    int waitMs = 15000;
};

// The program's gateway: xdg-email unless a test installed another.
MailGateway& mail();
void setMail(MailGateway* gateway);

}  // namespace kmx::platform
