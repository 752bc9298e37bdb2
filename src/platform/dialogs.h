#pragma once
// Message boxes and file dialogs, through one service so that tests can
// answer them without a modal loop.

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QFileDialog;
class QMessageBox;
class QWidget;

namespace kmx::platform {

// None: a plain box without an icon.
enum class MessageIcon { Information, Warning, Error, Question, None };
enum class Answer { Ok, Yes, No, Cancel };
// YesNoDefaultNo: "Tak" and "Nie" with "Nie" as the default button.
enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel, YesNoDefaultNo };

// One shown message, as a test sees it.
struct ShownMessage {
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::Information;
    Buttons buttons = Buttons::Ok;
};

struct FileDialogRequest {
    QString title;
    QString directory;
    QString fileName;     // proposed name
    QStringList filters;  // "Cennik KMX (*.kmx)", ...
    int filterIndex = 0;  // 0-based; out of range means the first
};
struct FileDialogResult {
    bool accepted = false;
    QString path;
    int filterIndex = 0;  // the filter the user chose, 0-based
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual Answer message(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon,
                           Buttons buttons = Buttons::Ok) = 0;
    virtual FileDialogResult saveFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual FileDialogResult openFile(QWidget* parent, const FileDialogRequest& request) = 0;
};

// Real dialogs (QMessageBox / QFileDialog), unless a test hook is armed:
// then the next answers and file names come from the queues and every shown
// message is recorded instead of displayed. The message box has the Polish
// button texts "Tak", "Nie", "Anuluj", "OK"; closing it without a button
// answers No (Yes/No), Cancel (with a Cancel button) or Ok.
class StandardDialogs : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon,
                   Buttons buttons = Buttons::Ok) override;
    FileDialogResult saveFile(QWidget* parent, const FileDialogRequest& request) override;
    FileDialogResult openFile(QWidget* parent, const FileDialogRequest& request) override;

    // --- test hooks
    // While enabled, nothing modal is shown: messages are recorded and
    // answered from nextAnswers (Ok / Yes when it is empty), file dialogs are
    // answered from nextFiles (cancelled when it is empty).
    void setTestMode(bool on) { testMode_ = on; }
    bool testMode() const { return testMode_; }
    std::deque<Answer> nextAnswers;
    std::deque<FileDialogResult> nextFiles;
    std::vector<ShownMessage> shownMessages;
    std::vector<FileDialogRequest> fileRequests;

private:
    bool testMode_ = false;
};

// The program's one dialog service. Tests switch it to test mode.
StandardDialogs& dialogs();

// Shows one of the program's own dialogs modally. With a test hook it is
// shown without a modal loop instead, handed to the hook (which clicks its
// buttons) and closed if the hook left it open. Returns the dialog's result.
int execOrHook(QDialog& dialog, const std::function<void()>& hook);

// The pieces of the real dialogs, kept apart so that tests can check them
// without a modal loop.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& caption, const QString& text,
                                            MessageIcon icon, Buttons buttons);
// The answer for the standard button that closed the box (QMessageBox::exec's
// result); any other value counts as closing the box without a button.
Answer answerForButton(int standardButton, Buttons buttons);
std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const FileDialogRequest& request, bool save);
// What the user chose in a finished file dialog.
FileDialogResult fileDialogResult(const QFileDialog& dialog, bool accepted);

}  // namespace kmx::platform
