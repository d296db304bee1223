#include "reference_text.h"

#include <QString>
#include <QTextCursor>
#include <QTextDocument>

void setReferenceMarkdown(QTextDocument* document, const QString& markdown)
{
    document->setMarkdown(markdown);
    const QString escaped = QStringLiteral("\\|");
    for (QTextCursor found = document->find(escaped); !found.isNull();
         found = document->find(escaped, found)) {
        if (!found.currentTable())
            continue;
        // The cursor's format is that of the selected text, so the pipe
        // stays in the code span's font.
        const QTextCharFormat format = found.charFormat();
        found.insertText(QStringLiteral("|"), format);
    }
}
