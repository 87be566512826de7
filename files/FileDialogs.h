#pragma once
// Every file chooser, question and window the file functions open goes through this service,
// so that tests answer them from a script instead of racing nested event loops.

#include <QString>
#include <optional>

#include "files/SettingsComparison.h"

class QWidget;

namespace mp {

class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    // A file to open; empty when the operator cancels.
    virtual QString OpenFileName(QWidget* parent, const QString& caption,
                                 const QString& filter) = 0;
    // A file to write, starting from `suggested`, with `suffix` added when none is typed and
    // the question before replacing a file; empty when the operator cancels.
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                 const QString& filter, const QString& suffix) = 0;
    // The settings file's free-text note, edited from `current`; nothing when cancelled.
    virtual std::optional<QString> EditNote(QWidget* parent, const QString& current) = 0;
    // Message box with an OK button.
    virtual void Inform(QWidget* parent, const QString& text) = 0;
    // Message box with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
    // The comparison window, modal; what the operator chose.
    virtual ComparisonChoice ShowComparison(QWidget* parent, const ComparisonView& view) = 0;
    // The system's print dialog, then the report on the printer chosen; false when cancelled.
    virtual bool PrintReport(QWidget* parent, const QString& html) = 0;
};

// The real choosers, message boxes and windows.
class CFileDialogs : public IFileDialogs {
public:
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                         const QString& filter, const QString& suffix) override;
    std::optional<QString> EditNote(QWidget* parent, const QString& current) override;
    void Inform(QWidget* parent, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& text) override;
    ComparisonChoice ShowComparison(QWidget* parent, const ComparisonView& view) override;
    bool PrintReport(QWidget* parent, const QString& html) override;
};

}  // namespace mp
