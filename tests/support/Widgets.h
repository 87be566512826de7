#pragma once
// Helpers for the window tests: children found by object name (a missing one stops the run
// with its name), typing into an edit or an editable drop-down, and what keeps a window from
// being used with assistive technology.

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QStringList>
#include <QtTest>

namespace mp::test {

template <typename T>
T* Child(const QObject& root, const QString& name) {
    T* child = root.findChild<T*>(name);
    if (child == nullptr) {
        qFatal("widget %s is missing", qPrintable(name));
    }
    return child;
}

// Clears the edit, or the drop-down's edit, and types the text key by key, also characters
// that have no key of their own.
inline void Retype(QWidget* control, const QString& text) {
    auto* combo = qobject_cast<QComboBox*>(control);
    QLineEdit* edit = combo != nullptr ? combo->lineEdit() : qobject_cast<QLineEdit*>(control);
    edit->clear();
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Inputs (edits and drop-downs) without an accessible name or with the name of another input,
// buttons and menu items without text; `inputs` counts the inputs seen.
inline QStringList AccessibilityProblems(const QWidget& window, int* inputs = nullptr) {
    QStringList problems;
    QStringList names;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const bool input = qobject_cast<QComboBox*>(widget) != nullptr ||
                           (qobject_cast<QLineEdit*>(widget) != nullptr &&
                            qobject_cast<QComboBox*>(widget->parentWidget()) == nullptr);
        if (input) {
            // On Linux Qt reports a drop-down's text as its name and names it through its
            // label relation; the name it was given is what a screen reader announces.
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            QString name = widget->accessibleName();
            if (name.isEmpty() && accessible != nullptr) {
                name = accessible->text(QAccessible::Name);
            }
            if (name.isEmpty() || names.contains(name)) {
                problems << widget->objectName() + QStringLiteral(" has no name of its own");
            }
            names << name;
        }
        auto* button = qobject_cast<QAbstractButton*>(widget);
        // qt_ buttons are Qt's own, such as the menu bar's overflow button.
        if (button && !button->objectName().startsWith(QLatin1String("qt_")) &&
            button->text().isEmpty()) {
            problems << button->objectName() + QStringLiteral(" has no text");
        }
    }
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->text().isEmpty()) {
                problems << action->objectName() + QStringLiteral(" has no text");
            }
        }
    }
    if (inputs != nullptr) {
        *inputs = static_cast<int>(names.size());
    }
    return problems;
}

}  // namespace mp::test
