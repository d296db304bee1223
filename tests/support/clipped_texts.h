#ifndef KOLM_TEST_CLIPPED_TEXTS_H
#define KOLM_TEST_CLIPPED_TEXTS_H

// The texts of a window that do not show whole: labels, buttons, check
// boxes, group box titles and tabs narrower than the width their text asks
// for. For pictures of a window in a language whose texts are longer than
// the English ones.
//
//     QVERIFY2(clippedTexts(dialog).isEmpty(), qPrintable(clippedTexts(dialog).join('\n')));

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QToolButton>
#include <QWidget>

namespace clipped_texts_detail {

inline QString describe(const QWidget *w, const QString &text, int width, int wanted)
{
    return QStringLiteral("%1 %2 \"%3\": %4 px of %5")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text)
        .arg(width)
        .arg(wanted);
}

inline bool showsText(const QAbstractButton *button)
{
    if (button->text().isEmpty())
        return false;
    const auto *tool = qobject_cast<const QToolButton *>(button);
    return !tool || tool->toolButtonStyle() != Qt::ToolButtonIconOnly;
}

} // namespace clipped_texts_detail

// One line per clipped text of the visible widgets of `root` (root
// included): class, object name, text, the width it has and the one it
// asks for.
inline QStringList clippedTexts(const QWidget &root)
{
    using namespace clipped_texts_detail;
    QStringList found;
    QList<const QWidget *> widgets{&root};
    for (const QWidget *w : root.findChildren<QWidget *>())
        widgets << w;
    for (const QWidget *w : widgets) {
        if (!w->isVisibleTo(&root) && w != &root)
            continue;
        if (const auto *label = qobject_cast<const QLabel *>(w)) {
            if (!label->wordWrap() && !label->text().isEmpty() && label->width() < label->sizeHint().width())
                found << describe(w, label->text(), label->width(), label->sizeHint().width());
        } else if (const auto *button = qobject_cast<const QAbstractButton *>(w)) {
            if (showsText(button) && button->width() < button->sizeHint().width())
                found << describe(w, button->text(), button->width(), button->sizeHint().width());
        } else if (const auto *box = qobject_cast<const QGroupBox *>(w)) {
            if (box->title().isEmpty())
                continue;
            QStyleOptionGroupBox option;
            option.initFrom(box);
            option.text = box->title();
            option.subControls = QStyle::SC_GroupBoxLabel;
            if (box->isCheckable())
                option.subControls |= QStyle::SC_GroupBoxCheckBox;
            const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
            const int wanted = box->fontMetrics().size(Qt::TextShowMnemonic, box->title()).width();
            const int room = qMin(title.width(), box->width() - title.left());
            if (room < wanted)
                found << describe(w, box->title(), room, wanted);
        } else if (const auto *tabs = qobject_cast<const QTabBar *>(w)) {
            // The room a tab asks for: its text, its icon and the style's
            // spacing, as the tab bar measures a tab.
            const int space = tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
            for (int i = 0; i < tabs->count(); ++i) {
                const QString text = QString(tabs->tabText(i)).remove(QLatin1Char('&'));
                const int icon = tabs->tabIcon(i).isNull() ? 0 : tabs->iconSize().width() + 4;
                const int wanted = tabs->fontMetrics().horizontalAdvance(text) + icon + space;
                const QRect rect = tabs->tabRect(i);
                if (rect.width() < wanted || rect.right() >= tabs->width())
                    found << describe(w, tabs->tabText(i), rect.width(), wanted);
            }
        }
    }
    return found;
}

#endif
