#pragma once
// The words a window puts in front of the operator, collected from its widget tree: captions,
// titles, menu items, drop-down items, column headers, tooltips and accessible names. Field
// values are left out, except the read-only ones that show a device text in words. And the
// captions that do not fit the room their widget has.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QToolButton>
#include <vector>

namespace mp::test {

struct ShownText {
    QString Where;  // object path and what the text is
    QString Text;
};

// Han characters and the full-width punctuation that goes with them.
inline bool HasChinese(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3000 && u <= 0x303F) ||
            (u >= 0xFF00 && u <= 0xFFEF)) {
            return true;
        }
    }
    return false;
}

inline QString PathOf(const QObject* object) {
    QStringList names;
    for (const QObject* o = object; o != nullptr; o = o->parent()) {
        names.prepend(o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className())
                                                : o->objectName());
    }
    return names.join(QLatin1Char('/'));
}

inline void CollectAction(const QAction* action, std::vector<ShownText>& out) {
    const QString where = PathOf(action);
    out.push_back({where + QStringLiteral(" text"), action->text()});
    out.push_back({where + QStringLiteral(" toolTip"),
                   action->toolTip() == QString(action->text()).remove(QLatin1Char('&'))
                       ? QString()
                       : action->toolTip()});
    out.push_back({where + QStringLiteral(" statusTip"), action->statusTip()});
    if (QMenu* menu = action->menu()) {
        out.push_back({PathOf(menu) + QStringLiteral(" title"), menu->title()});
        for (const QAction* item : menu->actions()) {
            CollectAction(item, out);
        }
    }
}

inline void CollectModelHeaders(const QAbstractItemView* view, std::vector<ShownText>& out) {
    const QAbstractItemModel* model = view->model();
    if (model == nullptr) {
        return;
    }
    for (int c = 0; c < model->columnCount(); ++c) {
        out.push_back({PathOf(view) + QStringLiteral(" column %1").arg(c),
                       model->headerData(c, Qt::Horizontal).toString()});
    }
}

// Every shown word under `root` (itself included), menus of a main window with them.
inline std::vector<ShownText> ShownTexts(const QWidget* root) {
    std::vector<ShownText> out;
    QList<const QWidget*> widgets = {root};
    for (const QWidget* w : root->findChildren<const QWidget*>()) {
        widgets.push_back(w);
    }
    for (const QWidget* w : widgets) {
        const QString where = PathOf(w);
        if (w->isWindow()) {
            out.push_back({where + QStringLiteral(" windowTitle"), w->windowTitle()});
        }
        out.push_back({where + QStringLiteral(" toolTip"), w->toolTip()});
        out.push_back({where + QStringLiteral(" accessibleName"), w->accessibleName()});
        out.push_back(
            {where + QStringLiteral(" accessibleDescription"), w->accessibleDescription()});
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            out.push_back({where + QStringLiteral(" text"), label->text()});
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            out.push_back({where + QStringLiteral(" text"), button->text()});
        } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
            out.push_back({where + QStringLiteral(" title"), group->title()});
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
            out.push_back({where + QStringLiteral(" placeholder"), edit->placeholderText()});
            if (edit->isReadOnly() && qobject_cast<const QComboBox*>(w->parent()) == nullptr) {
                out.push_back({where + QStringLiteral(" text"), edit->text()});
            }
        } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
            for (int k = 0; k < combo->count(); ++k) {
                out.push_back({where + QStringLiteral(" item %1").arg(k), combo->itemText(k)});
            }
        } else if (const auto* tabs = qobject_cast<const QTabWidget*>(w)) {
            for (int k = 0; k < tabs->count(); ++k) {
                out.push_back({where + QStringLiteral(" tab %1").arg(k), tabs->tabText(k)});
            }
        } else if (const auto* view = qobject_cast<const QAbstractItemView*>(w)) {
            if (qobject_cast<const QHeaderView*>(w) == nullptr) {
                CollectModelHeaders(view, out);
            }
        }
        for (const QAction* action : w->actions()) {
            CollectAction(action, out);
        }
    }
    if (const auto* window = qobject_cast<const QMainWindow*>(root)) {
        for (const QAction* action : window->menuBar()->actions()) {
            CollectAction(action, out);
        }
    }
    std::vector<ShownText> shown;
    for (ShownText& text : out) {
        if (!text.Text.isEmpty()) {
            shown.push_back(std::move(text));
        }
    }
    return shown;
}

// Captions of shown labels, buttons and group boxes under `root` that are cut off: their
// widget is narrower than the caption needs.
inline QStringList ClippedCaptions(const QWidget* root) {
    QStringList clipped;
    for (const QWidget* w : root->findChildren<const QWidget*>()) {
        if (!w->isVisibleTo(root) || w->width() <= 0) {
            continue;
        }
        QString caption;
        int needed = 0;
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (label->wordWrap() || label->text().isEmpty() || !label->pixmap().isNull()) {
                continue;
            }
            caption = label->text();
            needed = label->minimumSizeHint().width();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            const auto* tool = qobject_cast<const QToolButton*>(w);
            if (button->text().isEmpty() ||
                (tool != nullptr && (tool->arrowType() != Qt::NoArrow ||
                                     tool->toolButtonStyle() == Qt::ToolButtonIconOnly))) {
                continue;  // no caption shown: an arrow or an icon, the text is its name
            }
            caption = button->text();
            needed = button->sizeHint().width();
            if (qobject_cast<const QPushButton*>(w) != nullptr) {
                // Push buttons keep a margin around the text: the text alone must fit.
                needed = button->fontMetrics().horizontalAdvance(
                             QString(caption).remove(QLatin1Char('&'))) +
                         4;
            }
        } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
            if (group->title().isEmpty()) {
                continue;
            }
            caption = group->title();
            needed = group->fontMetrics().horizontalAdvance(caption) + 16;
        } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
            // Every item must fit the field the drop-down shows it in.
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.editable = combo->isEditable();
            const int room = combo->style()
                                 ->subControlRect(QStyle::CC_ComboBox, &option,
                                                  QStyle::SC_ComboBoxEditField, combo)
                                 .width();
            for (int k = 0; k < combo->count(); ++k) {
                const int advance = combo->fontMetrics().horizontalAdvance(combo->itemText(k));
                if (advance > room) {
                    clipped << QStringLiteral("%1 item \"%2\": %3 px of %4")
                                   .arg(PathOf(w), combo->itemText(k))
                                   .arg(room)
                                   .arg(advance);
                }
            }
            continue;
        } else {
            continue;
        }
        if (w->width() < needed) {
            clipped << QStringLiteral("%1 \"%2\": %3 px of %4")
                           .arg(PathOf(w), caption)
                           .arg(w->width())
                           .arg(needed);
        }
    }
    if (const auto* window = qobject_cast<const QMainWindow*>(root)) {
        const QMenuBar* bar = window->menuBar();
        for (QAction* action : bar->actions()) {
            if (bar->actionGeometry(action).right() >= bar->width()) {
                clipped << QStringLiteral("menu \"%1\" beyond the menu bar").arg(action->text());
            }
        }
    }
    return clipped;
}

}  // namespace mp::test
