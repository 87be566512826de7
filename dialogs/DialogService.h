#pragma once
// Every message box, question and file chooser a window opens goes through this service, so
// that tests answer them from a script instead of racing timers against nested event loops.
// Windows of one capability (the comparison, the password, ...) extend it in their own folder.

#include <QString>
#include <optional>

class QWidget;

namespace mp {

class IDialogService {
public:
    virtual ~IDialogService() = default;
    // Message box with an OK button.
    virtual void Inform(QWidget* parent, const QString& text) = 0;
    // Message box with Yes and No buttons and a question icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
    // A file to open; empty when the operator cancels.
    virtual QString OpenFileName(QWidget* parent, const QString& caption,
                                 const QString& filter) = 0;
    // A file to write, starting from `suggested`, with `suffix` added when none is typed and
    // the question before replacing a file; empty when the operator cancels.
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                 const QString& filter, const QString& suffix) = 0;
    // Several lines of free text under `label`, edited from `current`; nothing when cancelled.
    virtual std::optional<QString> EditText(QWidget* parent, const QString& caption,
                                            const QString& label, const QString& current) = 0;
};

}  // namespace mp
