#include "app/rates_page.h"

#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/rtf/rtf_reader.h"

namespace kmx::app {

RatesPage::RatesPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pcStawki"));
    view_ = new QTextBrowser(this);
    view_->setObjectName(QStringLiteral("reStawki"));
    view_->setReadOnly(true);
    view_->setOpenLinks(false);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(view_);
}

bool RatesPage::zaladuj(const QString& path) {
    const RtfResult r = loadRtfFile(path, *view_->document());
    if (!r.ok) view_->clear();
    // The text opens at its beginning.
    view_->moveCursor(QTextCursor::Start);
    view_->verticalScrollBar()->setValue(0);
    return r.ok;
}

}  // namespace kmx::app
