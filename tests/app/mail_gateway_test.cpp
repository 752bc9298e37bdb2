// The mail hand-off: the mailto URI a message becomes, and xdg-email started
// without a shell with that URI as its only argument.
#include <gtest/gtest.h>

#include "platform/mail.h"
#include "xdg_email_stub.h"

namespace {

using kmx::guitest::NoXdgEmail;
using kmx::guitest::XdgEmailStub;
using kmx::platform::MailMessage;
using kmx::platform::mailtoUri;
using kmx::platform::XdgEmail;

MailMessage wiadomosc(const QString& adres, const QString& temat, const QString& tresc) {
    MailMessage m;
    m.recipientAddress = adres;
    m.subject = temat;
    m.body = tresc;
    return m;
}

TEST(MailtoUri, EverythingOutsideTheSafeCharactersIsEncoded) {
    EXPECT_EQ(mailtoUri(wiadomosc("biuro@firma.pl", "Zapytanie ofertowe", "a\tb\nżółć")),
              "mailto:biuro@firma.pl?subject=Zapytanie%20ofertowe&body=a%09b%0D%0A%C5%BC%C3%B3%C5%82%C4%87");
    // No address: the fields alone; nothing at all: the bare scheme.
    EXPECT_EQ(mailtoUri(wiadomosc("", "T", "")), "mailto:?subject=T");
    EXPECT_EQ(mailtoUri(MailMessage{}), "mailto:");
    // What could break out of the URI is encoded: ? & = # % blanks, quotes, line ends.
    EXPECT_EQ(mailtoUri(wiadomosc("\"a b\"\n@x.pl?cc=y&z", "", "")),
              "mailto:%22a%20b%22%0A@x.pl%3Fcc%3Dy%26z");
    EXPECT_EQ(mailtoUri(wiadomosc("", "", "100% & #1")), "mailto:?body=100%25%20%26%20%231");
    // Windows line ends and lone CRs both become CR LF once.
    EXPECT_EQ(mailtoUri(wiadomosc("", "", "a\r\nb\rc")), "mailto:?body=a%0D%0Ab%0D%0Ac");
    // An attachment by its absolute path.
    MailMessage z = wiadomosc("x@y.pl", "", "");
    z.attachment = QStringLiteral("/tmp/cennik ą.kmx");
    EXPECT_EQ(mailtoUri(z), "mailto:x@y.pl?attach=/tmp/cennik%20%C4%85.kmx");
    // The names and the sender have no place in the URI.
    MailMessage n = wiadomosc("x@y.pl", "", "");
    n.recipientName = QStringLiteral("Firma");
    n.senderAddress = QStringLiteral("ja@x.pl");
    EXPECT_EQ(mailtoUri(n), "mailto:x@y.pl");
}

TEST(XdgEmail, GetsTheMessageAsOneArgumentAndReportsItsStatus) {
    {
        XdgEmailStub stub;
        XdgEmail gateway;
        const QString tresc = QStringLiteral("\t \t     Wiadomość\n\nŁÓDŹ; \"cytat\"");
        EXPECT_EQ(
            gateway.send(wiadomosc(QStringLiteral("-o@x.pl"), QStringLiteral("Zapytanie ofertowe"), tresc)),
            0);
        ASSERT_TRUE(stub.called());
        // An address starting with "-" is data inside the URI, never an option.
        EXPECT_EQ(stub.argumentCount(), 1);
        EXPECT_TRUE(stub.uri().startsWith("mailto:-o@x.pl?"));
        EXPECT_EQ(stub.address(), "-o@x.pl");
        EXPECT_EQ(stub.field("subject"), "Zapytanie ofertowe");
        EXPECT_EQ(stub.field("body"), QString(tresc).replace("\n", "\r\n"));
    }
    {
        // Quotes and a line end in the address arrive as they are, encoded.
        XdgEmailStub stub;
        XdgEmail gateway;
        EXPECT_EQ(gateway.send(wiadomosc(QStringLiteral("a\"b\n'c@x.pl"), QStringLiteral("T"), QString())),
                  0);
        EXPECT_EQ(stub.argumentCount(), 1);
        EXPECT_EQ(stub.address(), "a\"b\n'c@x.pl");
        EXPECT_FALSE(stub.uri().contains('\n'));
    }
    {
        // An empty address is passed on as it is.
        XdgEmailStub stub;
        XdgEmail gateway;
        EXPECT_EQ(gateway.send(wiadomosc(QString(), QStringLiteral("T"), QStringLiteral("b"))), 0);
        EXPECT_EQ(stub.uri(), "mailto:?subject=T&body=b");
    }
    {
        XdgEmailStub stub(3);
        XdgEmail gateway;
        EXPECT_EQ(gateway.send(wiadomosc(QStringLiteral("a@b.pl"), QString(), QString())), 3);
    }
    {
        NoXdgEmail none;
        XdgEmail gateway;
        EXPECT_EQ(gateway.send(wiadomosc(QStringLiteral("a@b.pl"), QString(), QString())), -1);
    }
}

}  // namespace
