#pragma once
// The dialog service on Qt's own message boxes, file choosers and text input.

#include "dialogs/DialogService.h"

namespace mp {

class CStandardDialogs : public virtual IDialogService {
public:
    void Inform(QWidget* parent, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& text) override;
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                         const QString& filter, const QString& suffix) override;
    std::optional<QString> EditText(QWidget* parent, const QString& caption, const QString& label,
                                    const QString& current) override;
};

}  // namespace mp
