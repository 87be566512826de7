#include "language/LanguageChoice.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTranslator>

#include "language/Text.h"

namespace mp {
namespace {

const QString kSettingsKey = QStringLiteral("language");
const QString kChineseCode = QStringLiteral("zh");
const QString kEnglishCode = QStringLiteral("en");

// The program's English translation, built from resources/translations into the resources.
const QString kEnglishFile = QStringLiteral(":/translations/motor-protector_en.qm");

std::string TranslateText(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

}  // namespace

CLanguageChoice::CLanguageChoice(QSettings& settings, QObject* parent)
    : QObject(parent), Settings_(settings) {
    SetTextTranslator(&TranslateText);
}

CLanguageChoice::~CLanguageChoice() {
    RemoveTranslators();
}

Language CLanguageChoice::ForLocale(const QLocale& locale) {
    return locale.language() == QLocale::Chinese ? Language::Chinese : Language::English;
}

Language CLanguageChoice::Initial(const QLocale& systemLocale) const {
    const QString code = Settings_.value(kSettingsKey).toString();
    if (code == kChineseCode) {
        return Language::Chinese;
    }
    if (code == kEnglishCode) {
        return Language::English;
    }
    return ForLocale(systemLocale);
}

void CLanguageChoice::Apply(Language language) {
    RemoveTranslators();
    auto install = [this](const QString& file, const QString& directory = QString()) {
        auto* translator = new QTranslator(this);
        if (translator->load(file, directory)) {
            QCoreApplication::installTranslator(translator);
            Installed_.push_back(translator);
        } else {
            delete translator;
        }
    };
    if (language == Language::English) {
        install(kEnglishFile);
    } else {
        // Qt's own texts (standard buttons, dialogs) in Chinese too; Debian ships them in
        // qt6-translations-l10n. The program's texts are Chinese already.
        const QString qtDirectory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        install(QStringLiteral("qtbase_zh_CN"), qtDirectory);
    }
    Current_ = language;
    UpdateMenu();
    emit Changed(language);
}

void CLanguageChoice::Choose(Language language) {
    Settings_.setValue(kSettingsKey, language == Language::Chinese ? kChineseCode : kEnglishCode);
    Apply(language);
}

QMenu* CLanguageChoice::AddMenu(QMenuBar* bar) {
    // Written in both languages, so that an operator who reads only one finds it.
    Menu_ = bar->addMenu(QStringLiteral("语言/Language"));
    auto* group = new QActionGroup(Menu_);
    const std::pair<QString, Language> items[] = {{QStringLiteral("中文"), Language::Chinese},
                                                  {QStringLiteral("English"), Language::English}};
    for (const auto& [text, language] : items) {
        QAction* action = Menu_->addAction(text);
        action->setCheckable(true);
        action->setData(static_cast<int>(language));
        group->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, language = language] { Choose(language); });
    }
    UpdateMenu();
    return Menu_;
}

void CLanguageChoice::RemoveTranslators() {
    for (QTranslator* translator : Installed_) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    Installed_.clear();
}

void CLanguageChoice::UpdateMenu() {
    if (Menu_ == nullptr) {
        return;
    }
    for (QAction* action : Menu_->actions()) {
        action->setChecked(action->data().toInt() == static_cast<int>(Current_));
    }
}

}  // namespace mp
