#ifndef KOLM_TEST_SOURCE_HIGHLIGHT_H
#define KOLM_TEST_SOURCE_HIGHLIGHT_H

// The text under the debugger page's statement highlight in its source view,
// runs joined with "|".

#include "qmaterialfont.h"
#include "qsourceeditor.h"

#include <QStringList>
#include <QTextBlock>

inline QString highlighted(QSourceEditor *editor)
{
    const QColor mark = QMaterialIcon::instance()->color(QMaterialIcon::Warning);
    QStringList runs;
    for (QTextBlock block = editor->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.background().style() != Qt::NoBrush && format.background().color() == mark)
                runs << it.fragment().text();
        }
    }
    return runs.join('|');
}

#endif
