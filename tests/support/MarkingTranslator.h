#pragma once
// A stand-in for the English translation: every text, of the Qt classes and of the plain C++
// layers, comes back as "EN:" + its source. Installed for the life of the object, it makes a
// text that was set once and never re-set after a language switch show up as still Chinese.

#include <QCoreApplication>
#include <QTranslator>
#include <string>

#include "language/Text.h"

namespace mp::test {

class CMarkingTranslator : public QTranslator {
public:
    static constexpr char kMark[] = "EN:";
    static QString Mark(const QString& source) { return QString::fromUtf8(kMark) + source; }

    CMarkingTranslator() {
        QCoreApplication::installTranslator(this);
        SetTextTranslator(&Translate);
        Deliver();
    }
    ~CMarkingTranslator() override {
        QCoreApplication::removeTranslator(this);
        SetTextTranslator(nullptr);
        Deliver();
    }

    QString translate(const char*, const char* source, const char* = nullptr,
                      int = -1) const override {
        return QString::fromUtf8(kMark) + QString::fromUtf8(source);
    }
    bool isEmpty() const override { return false; }

    // The application's LanguageChange, and the one it then posts to every window.
    static void Deliver() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }

private:
    static std::string Translate(const char* context, const char* source) {
        return QCoreApplication::translate(context, source).toStdString();
    }
};

}  // namespace mp::test
