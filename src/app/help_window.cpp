#include "app/help_window.h"

#include "app/constants.h"
#include "app/program_paths.h"
#include "app/rtf/rtf_reader.h"
#include "editions/edition.h"
#include "platform/dialogs.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

namespace kmx::app {

namespace {

bool& trybTestowy() {
    static bool on = false;
    return on;
}

}  // namespace

TFHelp::TFHelp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FHelp"));
    setWindowTitle(QStringLiteral("Pomoc"));
    setSizeGripEnabled(true);
    setModal(true);
    resize(760, 560);

    widok_ = new QTextBrowser(this);
    widok_->setObjectName(QStringLiteral("RichEdit1"));
    widok_->setReadOnly(true);
    widok_->setOpenLinks(false);
    widok_->setOpenExternalLinks(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(widok_);
}

bool TFHelp::zaladuj(const QString& path, QString* error) {
    const RtfResult result = loadRtfFile(path, *widok_->document());
    if (!result.ok) {
        if (error != nullptr) *error = result.error;
        return false;
    }
    widok_->moveCursor(QTextCursor::Start);
    widok_->verticalScrollBar()->setValue(0);
    widok_->horizontalScrollBar()->setValue(0);
    return true;
}

bool TFHelp::pokazInstrukcje(const QString& fileName) {
    QString error;
    if (!zaladuj(KatalogProgramu() + fileName, &error)) {
        platform::dialogs().message(parentWidget(), edition::TytulKomunikatu(), error,
                                    platform::MessageIcon::Error);
        return false;
    }
    pokaz();
    return true;
}

void TFHelp::pokaz() {
    wysrodkuj();
    if (trybTestowy()) {
        show();
        return;
    }
    exec();
}

void TFHelp::setTestMode(bool on) {
    trybTestowy() = on;
}

void TFHelp::wysrodkuj() {
    QRect area;
    if (QWidget* p = parentWidget(); p != nullptr && p->isVisible()) {
        area = p->frameGeometry();
    } else if (QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        area = screen->availableGeometry();
    } else {
        return;
    }
    // Centred on the frame, as the user sees it.
    const QRect frame = frameGeometry();
    const QPoint offset = pos() - frame.topLeft();
    move(area.center().x() - frame.width() / 2 + offset.x(),
         area.center().y() - frame.height() / 2 + offset.y());
}

}  // namespace kmx::app
