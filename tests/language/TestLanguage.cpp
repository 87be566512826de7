// The window in two languages: the choice (system locale, remembered pick), the plain layers'
// texts, Qt's own buttons, and a switch while the window and its tool windows are open, which
// must change every caption at once, back and forth, with nothing cut off in either language.

#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/DiagnosticsWiring.h"
#include "app/FilesWiring.h"
#include "app/HelpDlg.h"
#include "app/MotorProtectorApp.h"
#include "app/TrendWiring.h"
#include "connection/CommParamChange.h"
#include "connection/CommParamChangeDlg.h"
#include "connection/CommSetupDlg.h"
#include "diagnostics/Diagnostics.h"
#include "diagnostics/MonitorWindow.h"
#include "diagnostics/ScanDlg.h"
#include "events/EventRecordDlg.h"
#include "events/EventRecords.h"
#include "files/FilesController.h"
#include "language/LanguageChoice.h"
#include "language/Text.h"
#include "maintenance/PasswordDlg.h"
#include "support/ScriptedDialogs.h"
#include "support/VisibleTexts.h"
#include "support/WindowRig.h"
#include "trend/TrendController.h"

using namespace mp;
using namespace mp::test;

Q_DECLARE_METATYPE(mp::Language)

namespace {
// One thing the operator does in the English window; what the tool tells them is collected.
using Act = std::function<void(mp::test::CWindowRig&, QStringList& told)>;
}  // namespace
Q_DECLARE_METATYPE(Act)

// Lists what is wrong, one line each, when `list` is not empty.
#define EXPECT_NONE(list)                                                     \
    do {                                                                      \
        const QStringList found = (list);                                     \
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n')))); \
    } while (false)

namespace {

// Words that stay as they are in either language: the language menu names itself in both.
bool Bilingual(const ShownText& text) {
    return text.Text == QStringLiteral("语言/Language") || text.Text == QStringLiteral("中文");
}

// The %1 .. %9 markers of a text, sorted.
QStringList Markers(const QString& text) {
    static const QRegularExpression marker(QStringLiteral("%[1-9]"));
    QStringList found;
    for (auto it = marker.globalMatch(text); it.hasNext();) {
        found << it.next().captured();
    }
    found.sort();
    found.removeDuplicates();
    return found;
}

// Shown words still in Chinese, one line each.
QStringList ChineseLeft(const std::vector<ShownText>& texts) {
    QStringList left;
    for (const ShownText& text : texts) {
        if (HasChinese(text.Text) && !Bilingual(text)) {
            left << text.Where + QStringLiteral(": ") + text.Text;
        }
    }
    return left;
}

QAction* FindAction(const QWidget& window, const QString& text) {
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private:
    CScriptedDialogs Dialogs_;
    QTemporaryDir Dir_;
    std::unique_ptr<QSettings> Settings_;          // one per test of the choice
    std::unique_ptr<QSettings> LanguageSettings_;  // the window's, for the whole run
    std::unique_ptr<CLanguageChoice> Language_;

    QSettings& FreshSettings() {
        Settings_ = std::make_unique<QSettings>(Dir_.filePath(QStringLiteral("language.ini")),
                                                QSettings::IniFormat);
        Settings_->clear();
        return *Settings_;
    }

private slots:
    void initTestCase() {
        QVERIFY(Dir_.isValid());
        LanguageSettings_ = std::make_unique<QSettings>(Dir_.filePath(QStringLiteral("window.ini")),
                                                        QSettings::IniFormat);
        Language_ = std::make_unique<CLanguageChoice>(*LanguageSettings_);
        CMotorProtectorApp::ApplyWindowColours(*qApp);
        CMotorProtectorApp::ApplyWindowFont(*qApp);
    }
    void init() { Language_->Apply(Language::Chinese); }

    void fillIn_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two in order")
            << "%1超出范围（%2）" << QStringList{"CT", "1-9"} << "CT超出范围（1-9）";
        QTest::newRow("reordered") << "%2 of %1" << QStringList{"a", "b"} << "b of a";
        QTest::newRow("repeated") << "%1/%1" << QStringList{"x"} << "x/x";
        QTest::newRow("marker without argument stays")
            << "%1 %3" << QStringList{"x", "y"} << "x %3";
        QTest::newRow("percent sign alone") << "50 % of %1" << QStringList{"In"} << "50 % of In";
        QTest::newRow("argument holding a marker is not expanded")
            << "%1 and %2" << QStringList{"%2", "b"} << "%2 and b";
        QTest::newRow("trailing percent") << "%1%" << QStringList{"95"} << "95%";
    }
    void fillIn() {
        QFETCH(QString, pattern);
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        std::vector<std::string> values;
        for (const QString& a : args) {
            values.push_back(a.toStdString());
        }
        const std::string out = values.size() == 1 ? FillIn(pattern.toStdString(), {values[0]})
                                : values.size() == 2
                                    ? FillIn(pattern.toStdString(), {values[0], values[1]})
                                    : FillIn(pattern.toStdString(), {});
        QCOMPARE(QString::fromStdString(out), expected);
    }

    void initialLanguage_data() {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<Language>("expected");
        QTest::newRow("zh_CN system") << ""
                                      << "zh_CN" << Language::Chinese;
        QTest::newRow("zh_TW system") << ""
                                      << "zh_TW" << Language::Chinese;
        QTest::newRow("en_US system") << ""
                                      << "en_US" << Language::English;
        QTest::newRow("de_DE system") << ""
                                      << "de_DE" << Language::English;
        QTest::newRow("C locale") << ""
                                  << "C" << Language::English;
        QTest::newRow("English picked on a Chinese system") << "en"
                                                            << "zh_CN" << Language::English;
        QTest::newRow("Chinese picked on an English system") << "zh"
                                                             << "en_GB" << Language::Chinese;
        QTest::newRow("unknown pick follows the system") << "fr"
                                                         << "zh_CN" << Language::Chinese;
    }
    void initialLanguage() {
        QFETCH(QString, remembered);
        QFETCH(QString, locale);
        QFETCH(Language, expected);
        QSettings& settings = FreshSettings();
        if (!remembered.isEmpty()) {
            settings.setValue(QStringLiteral("language"), remembered);
        }
        const CLanguageChoice choice(settings);
        QCOMPARE(choice.Initial(QLocale(locale)), expected);
    }

    // The pick from the menu is there at the next start.
    void pickRemembered() {
        QSettings& settings = FreshSettings();
        {
            CLanguageChoice choice(settings);
            choice.Choose(Language::English);
        }
        settings.sync();
        QSettings again(settings.fileName(), QSettings::IniFormat);
        QCOMPARE(CLanguageChoice(again).Initial(QLocale(QStringLiteral("zh_CN"))),
                 Language::English);
        Language_->Apply(Language::Chinese);
    }

    // Every text of the program, as lupdate finds it in the sources now, has an English
    // translation in the repository's file: finished, with the same markers, without Chinese.
    void everySourceTextTranslated() {
        const QString updated = Dir_.filePath(QStringLiteral("current.ts"));
        const QString committed =
            QStringLiteral(MP_SOURCE_DIR "/resources/translations/motor-protector_en.ts");
        QFile::remove(updated);
        QVERIFY(QFile::copy(committed, updated));
        QFile::setPermissions(updated, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LUPDATE"), QStringLiteral(MP_LUPDATE));
        lupdate.setProcessEnvironment(env);
        lupdate.start(QStringLiteral("bash"),
                      {QStringLiteral(MP_SOURCE_DIR "/scripts/update-translations.sh"), updated});
        QVERIFY(lupdate.waitForFinished(120000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());

        QFile file(updated);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString context;
        QString source;
        int messages = 0;
        QStringList faults;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement()) {
                continue;
            }
            if (xml.name() == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                ++messages;
                const bool unfinished =
                    xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
                const QString translation = xml.readElementText();
                const QString where =
                    context + QStringLiteral(" \"") + source + QStringLiteral("\": ");
                if (unfinished || translation.isEmpty()) {
                    faults << where + QStringLiteral("not translated");
                } else if (Markers(translation) != Markers(source)) {
                    faults << where + QStringLiteral("markers differ in \"%1\"").arg(translation);
                } else if (HasChinese(translation)) {
                    faults << where + QStringLiteral("Chinese left in \"%1\"").arg(translation);
                }
            }
        }
        QVERIFY2(
            !xml.hasError(),
            qPrintable(QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString())));
        QVERIFY(messages > 300);
        EXPECT_NONE(faults);
    }

    // Qt's standard buttons and the plain layers' texts follow the language.
    void qtAndPlainTextsFollow() {
        QMessageBox zh(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
        QVERIFY2(zh.button(QMessageBox::Yes)->text().contains(QStringLiteral("是")),
                 "Qt's translations are missing (Debian: qt6-translations-l10n)");
        QCOMPARE(QString::fromStdString(CommParamSummaryText(3, 9600)),
                 QStringLiteral("子机地址-->3      波特率-->9600"));

        Language_->Apply(Language::English);
        QMessageBox en(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
        QVERIFY(en.button(QMessageBox::Yes)->text().contains(QStringLiteral("Yes")));
        const QString summary = QString::fromStdString(CommParamSummaryText(3, 9600));
        QVERIFY2(!HasChinese(summary), qPrintable(summary));
        QVERIFY(summary.contains(QStringLiteral("3")) && summary.contains(QStringLiteral("9600")));
    }

    // The window, its menus and its open tool windows, switched from the menu: in English no
    // Chinese word is left; in either language nothing is cut off and the window stays within
    // 940 x 680; back in the first language every text is again what it was.
    void switchChangesEveryCaption_data() {
        QTest::addColumn<Language>("first");
        QTest::newRow("opened in Chinese") << Language::Chinese;
        QTest::newRow("opened in English") << Language::English;
    }
    void switchChangesEveryCaption() {
        QFETCH(Language, first);
        Language_->Apply(first);
        CWindowRig rig;
        CScriptedDialogs fileDialogs;
        const auto files = InstallFiles(rig.Window, *rig.Controller, fileDialogs, nullptr);
        const auto trend = InstallTrend(rig.Window, *rig.Controller, fileDialogs);
        const auto diagnostics = InstallDiagnostics(rig.Window, *rig.Controller, fileDialogs);
        QTemporaryDir startsDir;
        const auto starts = InstallStarts(*trend, rig.Window, fileDialogs, [&startsDir] {
            return StartsPlace{startsDir.path(), QStringLiteral("地址 1"),
                               QStringLiteral("地址 1")};
        });
        Language_->AddMenu(rig.Window.menuBar());
        rig.Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.Window));
        diagnostics->OpenMonitor();
        trend->ShowTrendWindow();
        starts->ShowStartsWindow();
        const std::vector<QWidget*> windows = {&rig.Window, &diagnostics->Monitor(),
                                               trend->TrendWindow(), starts->StartsWindow()};
        QVERIFY(rig.Drain());

        auto allTexts = [&windows] {
            std::vector<ShownText> texts;
            for (QWidget* window : windows) {
                for (ShownText& text : ShownTexts(window)) {
                    // The status pane is checked on its own below.
                    if (!text.Where.contains(QStringLiteral("statusPaneLabel"))) {
                        texts.push_back(std::move(text));
                    }
                }
            }
            return texts;
        };
        auto choose = [&rig](const char* item) {
            QAction* action = FindAction(rig.Window, QString::fromUtf8(item));
            QVERIFY(action != nullptr);
            action->trigger();
            QCoreApplication::processEvents();  // the change reaches widgets as posted events
        };
        auto checkWindow = [&rig] {
            EXPECT_NONE(ClippedCaptions(&rig.Window));
            QVERIFY(rig.Window.width() <= 940 && rig.Window.height() <= 680);
            QCOMPARE(rig.Window.minimumSize(), rig.Window.maximumSize());
        };
        const bool chineseFirst = first == Language::Chinese;

        const std::vector<ShownText> before = allTexts();
        QVERIFY(before.size() > 150);
        checkWindow();
        choose(chineseFirst ? "English" : "中文");
        QCOMPARE(Language_->Current(), chineseFirst ? Language::English : Language::Chinese);
        checkWindow();
        EXPECT_NONE(ChineseLeft(chineseFirst ? allTexts() : before));

        // The status the tool last said is said again in the new language.
        const QString status = rig.Window.StatusText();
        QVERIFY(!status.isEmpty());
        QCOMPARE(HasChinese(status), !chineseFirst);

        choose(chineseFirst ? "中文" : "English");
        checkWindow();
        QVERIFY(rig.Window.StatusText() != status);
        QCOMPARE(HasChinese(rig.Window.StatusText()), chineseFirst);
        const std::vector<ShownText> back = allTexts();
        QStringList changed;
        for (size_t k = 0; k < std::min(back.size(), before.size()); ++k) {
            if (back[k].Where != before[k].Where || back[k].Text != before[k].Text) {
                changed << before[k].Where + QStringLiteral(": ") + before[k].Text +
                               QStringLiteral(" -> ") + back[k].Text;
            }
        }
        EXPECT_NONE(changed);
        QCOMPARE(back.size(), before.size());
    }

    // The dialogs made while English is chosen speak English, with nothing cut off.
    void dialogsInEnglish_data() {
        QTest::addColumn<int>("dialog");
        QTest::newRow("start-up communication") << 0;
        QTest::newRow("address and baud change") << 1;
        QTest::newRow("maintenance password") << 2;
        QTest::newRow("usage notes") << 3;
        QTest::newRow("alarm events") << 4;
        QTest::newRow("device search") << 5;
    }
    void dialogsInEnglish() {
        QFETCH(int, dialog);
        Language_->Apply(Language::English);
        QCoreApplication::processEvents();
        std::unique_ptr<QDialog> shown;
        switch (dialog) {
            case 0:
                shown = std::make_unique<CCommSetupDlg>(nullptr, std::vector<SystemPortInfo>{});
                break;
            case 1:
                shown = std::make_unique<CCommParamChangeDlg>(nullptr);
                break;
            case 2:
                shown = std::make_unique<CPasswordDlg>();
                break;
            case 3:
                shown = std::make_unique<CHelpDlg>();
                break;
            case 5: {
                ScanHost host;
                host.Line = [] { return PortSettings{"COM1", 9600, 0}; };
                shown = std::make_unique<CScanDlg>(host, Dialogs_);
                break;
            }
            default: {
                const uint8_t records[16] = {0x01, 0x03, 5, 6, 7, 16, 17};
                shown = std::make_unique<CEventRecordDlg>(DecodeEventRecords(5, records), Dialogs_);
                break;
            }
        }
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        EXPECT_NONE(ChineseLeft(ShownTexts(shown.get())));
        EXPECT_NONE(ClippedCaptions(shown.get()));
    }

    // What the English window tells the operator as they use it: its messages, questions, the
    // status bar's fields (operation, line, link, recording). A text shown without going
    // through the translation (a Chinese literal) fails here even when lupdate never sees it.
    void toldInEnglish_data() {
        QTest::addColumn<Act>("act");
        QTest::newRow("address and baud: device silent") << Act([](CWindowRig& rig, QStringList&) {
            rig.Port.SilenceAfter(0);
            rig.Click("commSettingsButton");
            QTRY_COMPARE(rig.Dialogs.Messages.size(), 1);
        });
        QTest::newRow("address and baud: values refused")
            << Act([](CWindowRig&, QStringList& told) {
                   CCommParamChangeDlg dialog([&told](const QString& text) { told << text; });
                   CommParamValues values;
                   values.Address = 0;
                   values.BaudText = QStringLiteral("9600");
                   dialog.SetValues(values);
                   dialog.accept();
                   values.Address = 5;
                   values.BaudText = QStringLiteral("1234");
                   dialog.SetValues(values);
                   dialog.accept();
                   QCOMPARE(told.size(), 2);
               });
        QTest::newRow("write answered No") << Act([](CWindowRig& rig, QStringList&) {
            rig.Dialogs.YesNoAnswer = false;
            rig.Click("writeSettingsButton");
            QCOMPARE(rig.Dialogs.Questions.size(), 1);
        });
        QTest::newRow("empty rated current") << Act([](CWindowRig& rig, QStringList&) {
            rig.Find<QLineEdit>("ratedCurrentEdit")->clear();
            rig.Click("writeSettingsButton");
            QCOMPARE(rig.Dialogs.Messages.size(), 1);
        });
        QTest::newRow("empty integer field") << Act([](CWindowRig& rig, QStringList&) {
            rig.Find<QLineEdit>("breakingCurrentEdit")->clear();
            rig.Click("writeSettingsButton");
            QCOMPARE(rig.Dialogs.Messages.size(), 1);
        });
        QTest::newRow("closing with unwritten settings") << Act([](CWindowRig& rig, QStringList&) {
            rig.Find<QLineEdit>("ctRatioEdit")->setText(QStringLiteral("77"));
            rig.Dialogs.YesNoAnswer = false;
            rig.Window.close();
            QCOMPARE(rig.Dialogs.Questions.size(), 1);
        });
        QTest::newRow("reconnect") << Act([](CWindowRig& rig, QStringList&) {
            rig.Dialogs.ConnectionAnswer = [](ConnectionSettings& chosen) {
                chosen.ParityCode = 2;
                return true;
            };
            rig.Controller->Run(MainCommand::Reconnect);
            QTRY_VERIFY(rig.Status().contains(QStringLiteral("COM3")));
        });
        QTest::newRow("device search: connect") << Act([](CWindowRig& rig, QStringList&) {
            bool connected = false;
            rig.Controller->UseLine(5, 19200, 0, [&connected](bool ok) { connected = ok; });
            QTRY_VERIFY(connected);
        });
        QTest::newRow("recording") << Act([](CWindowRig& rig, QStringList& told) {
            static QTemporaryDir dir;
            CScriptedDialogs files;
            files.SaveAnswer = dir.filePath(QStringLiteral("rec1.csv"));
            const auto trend = InstallTrend(rig.Window, *rig.Controller, files);
            trend->StartRecording();
            QVERIFY(trend->Recorder().Recording());
            const QString recording = trend->RecordingText();
            QVERIFY(recording.startsWith(QStringLiteral("Recording: rec1.csv (")));
            QVERIFY(recording.endsWith(QStringLiteral(" bytes)")));
            told << recording << files.Messages;
            trend->StopRecording();
        });
    }
    void toldInEnglish() {
        QFETCH(Act, act);
        Language_->Apply(Language::English);
        QCoreApplication::processEvents();
        CWindowRig rig;
        QTRY_VERIFY(rig.Controller->PortOpen());
        QStringList told;
        act(rig, told);
        QVERIFY(rig.Drain());
        told << rig.Dialogs.Messages << rig.Dialogs.Questions;
        std::vector<ShownText> texts;
        for (const QString& text : told) {
            texts.push_back({QStringLiteral("told"), text});
        }
        for (ShownText& text : ShownTexts(rig.Window.statusBar())) {
            texts.push_back(std::move(text));
        }
        QVERIFY(!rig.Window.LineText().isEmpty());
        EXPECT_NONE(ChineseLeft(texts));
    }
};

QTEST_MAIN(TestLanguage)
#include "TestLanguage.moc"
