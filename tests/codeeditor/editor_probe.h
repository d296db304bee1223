#pragma once

#include "qsourceeditor.h"

#include <QString>
#include <QStringList>

// A source editor that lets tests reach its protected helpers.
class EditorProbe : public QSourceEditor
{
public:
    using QSourceEditor::getFirstVisibleBlock;
    using QSourceEditor::visibleOccurrences;

    // Sets the text, in which "|" marks the cursor and an optional "^" the
    // anchor of a selection.
    void setMarkedText(const QString& marked);
    // The text with "|" at the cursor and "^" at the anchor of a selection.
    QString markedText() const;

    // Selects from the anchor to the position, as the user would.
    void select(int anchor, int position);

    // Shows the editor 400 by 300 pixels large; false when it never appears.
    bool showOnScreen();

    // The extra selections as "line@position" for a full-width selection and
    // "start-end" for a range.
    QStringList extraSelectionRanges() const;
};
