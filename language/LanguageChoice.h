#pragma once

// The language of the window: Chinese (the program's own texts) or English (the translation
// in resources/translations). It follows the system locale until the operator picks one in
// the "语言/Language" menu; the pick is remembered and takes effect at once.

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

class QLocale;
class QMenuBar;
class QSettings;
class QTranslator;

namespace mp {

enum class Language { Chinese, English };

class CLanguageChoice : public QObject {
    Q_OBJECT

public:
    explicit CLanguageChoice(QSettings& settings, QObject* parent = nullptr);
    ~CLanguageChoice() override;

    // Chinese for a zh locale, English for any other.
    static Language ForLocale(const QLocale& locale);

    // The remembered pick, else the one for `systemLocale`.
    Language Initial(const QLocale& systemLocale) const;

    // Installs the translators of `language` (the program's and Qt's own), replacing those of
    // the previous one. Every widget gets a LanguageChange event.
    void Apply(Language language);
    // Apply, and remember the pick for the next start.
    void Choose(Language language);
    Language Current() const { return Current_; }

    // Adds the "语言/Language" menu, with one checkable item per language, to `bar`.
    QMenu* AddMenu(QMenuBar* bar);

signals:
    void Changed(mp::Language language);

private:
    void RemoveTranslators();
    void UpdateMenu();

    QSettings& Settings_;
    Language Current_ = Language::Chinese;
    std::vector<QTranslator*> Installed_;
    QPointer<QMenu> Menu_;  // owned by the window it was added to
};

}  // namespace mp
