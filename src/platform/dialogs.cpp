#include "platform/dialogs.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace kmx::platform {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The answer a test gets when it queued none: the box's first button.
Answer defaultAnswer(Buttons buttons) {
    if (buttons == Buttons::YesNoDefaultNo) return Answer::No;
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

void addButton(QMessageBox& box, QMessageBox::StandardButton which, const char* text) {
    box.addButton(which);
    if (QAbstractButton* b = box.button(which)) b->setText(QString::fromUtf8(text));
}

}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& caption, const QString& text,
                                            MessageIcon icon, Buttons buttons) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(caption);
    box->setText(text);
    box->setIcon(boxIcon(icon));
    box->setTextFormat(Qt::PlainText);
    switch (buttons) {
        case Buttons::Ok:
            addButton(*box, QMessageBox::Ok, "OK");
            box->setDefaultButton(QMessageBox::Ok);
            box->setEscapeButton(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            addButton(*box, QMessageBox::Ok, "OK");
            addButton(*box, QMessageBox::Cancel, "Anuluj");
            box->setDefaultButton(QMessageBox::Ok);
            box->setEscapeButton(QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            addButton(*box, QMessageBox::Yes, "Tak");
            addButton(*box, QMessageBox::No, "Nie");
            box->setDefaultButton(QMessageBox::Yes);
            box->setEscapeButton(QMessageBox::No);
            break;
        case Buttons::YesNoDefaultNo:
            addButton(*box, QMessageBox::Yes, "Tak");
            addButton(*box, QMessageBox::No, "Nie");
            box->setDefaultButton(QMessageBox::No);
            box->setEscapeButton(QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            addButton(*box, QMessageBox::Yes, "Tak");
            addButton(*box, QMessageBox::No, "Nie");
            addButton(*box, QMessageBox::Cancel, "Anuluj");
            box->setDefaultButton(QMessageBox::Yes);
            box->setEscapeButton(QMessageBox::Cancel);
            break;
    }
    return box;
}

Answer answerForButton(int standardButton, Buttons buttons) {
    switch (standardButton) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            break;
    }
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
        case Buttons::YesNoDefaultNo:
            return Answer::No;
        case Buttons::YesNoCancel:
        case Buttons::OkCancel:
            return Answer::Cancel;
    }
    return Answer::Cancel;
}

std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const FileDialogRequest& request, bool save) {
    auto dialog = std::make_unique<QFileDialog>(parent, request.title, request.directory);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.filters.isEmpty()) {
        dialog->setNameFilters(request.filters);
        const int index = request.filterIndex >= 0 && request.filterIndex < request.filters.size()
                              ? request.filterIndex
                              : 0;
        dialog->selectNameFilter(request.filters.at(index));
    }
    if (!request.fileName.isEmpty()) dialog->selectFile(request.fileName);
    return dialog;
}

FileDialogResult fileDialogResult(const QFileDialog& dialog, bool accepted) {
    FileDialogResult result;
    const QStringList chosen = dialog.selectedFiles();
    result.accepted = accepted && !chosen.isEmpty() && !chosen.first().isEmpty();
    if (result.accepted) result.path = chosen.first();
    const int index = static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
    result.filterIndex = index < 0 ? 0 : index;
    return result;
}

Answer StandardDialogs::message(QWidget* parent, const QString& caption, const QString& text,
                                MessageIcon icon, Buttons buttons) {
    if (testMode_) {
        shownMessages.push_back(ShownMessage{caption, text, icon, buttons});
        if (nextAnswers.empty()) return defaultAnswer(buttons);
        const Answer answer = nextAnswers.front();
        nextAnswers.pop_front();
        return answer;
    }
    const std::unique_ptr<QMessageBox> box = makeMessageBox(parent, caption, text, icon, buttons);
    return answerForButton(box->exec(), buttons);
}

namespace {

FileDialogResult runFileDialog(StandardDialogs& self, bool testMode, QWidget* parent,
                               const FileDialogRequest& request, bool save) {
    if (testMode) {
        self.fileRequests.push_back(request);
        if (self.nextFiles.empty()) return FileDialogResult{false, QString(), request.filterIndex};
        const FileDialogResult answer = self.nextFiles.front();
        self.nextFiles.pop_front();
        return answer;
    }
    const std::unique_ptr<QFileDialog> dialog = makeFileDialog(parent, request, save);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    return fileDialogResult(*dialog, accepted);
}

}  // namespace

FileDialogResult StandardDialogs::saveFile(QWidget* parent, const FileDialogRequest& request) {
    return runFileDialog(*this, testMode_, parent, request, true);
}

FileDialogResult StandardDialogs::openFile(QWidget* parent, const FileDialogRequest& request) {
    return runFileDialog(*this, testMode_, parent, request, false);
}

StandardDialogs& dialogs() {
    static StandardDialogs service;
    return service;
}

int execOrHook(QDialog& dialog, const std::function<void()>& hook) {
    if (!hook) return dialog.exec();
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    hook();
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
}

}  // namespace kmx::platform
