#pragma once
// A stand-in for the English translation: the texts it is given, by context and Chinese source,
// come back in English, every other text as it stands (as a text the translation file lacks).
// While it lives it is installed as the program installs its translators, so the Qt texts,
// the plain C++ texts (mp::Tr) and the windows' language switch all see it; a test without a
// QCoreApplication gets the plain C++ texts only.

#include <QCoreApplication>
#include <QHash>
#include <QPair>
#include <QTranslator>
#include <string>

#include "language/Text.h"

namespace mp::test {

class CTestTranslator : public QTranslator {
public:
    // Keys are {context, source}: {"MotorProtector", "设备无应答"}.
    using Words = QHash<QPair<QString, QString>, QString>;

    explicit CTestTranslator(Words words) : Words_(std::move(words)) {
        Current() = this;
        SetTextTranslator(&TranslateText);
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::installTranslator(this);
        }
    }
    ~CTestTranslator() override {
        SetTextTranslator(nullptr);
        Current() = nullptr;
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::removeTranslator(this);
        }
    }
    CTestTranslator(const CTestTranslator&) = delete;
    CTestTranslator& operator=(const CTestTranslator&) = delete;

    bool isEmpty() const override { return Words_.isEmpty(); }

    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        return Words_.value({QString::fromUtf8(context), QString::fromUtf8(source)});
    }

private:
    static CTestTranslator*& Current() {
        static CTestTranslator* current = nullptr;
        return current;
    }

    static std::string TranslateText(const char* context, const char* source) {
        const QString english = Current()->translate(context, source, nullptr, -1);
        return english.isEmpty() ? std::string(source) : english.toStdString();
    }

    Words Words_;
};

}  // namespace mp::test
