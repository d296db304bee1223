#include "highlight_probe.h"

#include "qstylesyntaxhighlighter.h"

#include <QColor>
#include <QCoreApplication>
#include <QTextBlock>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

namespace {

const QStringList styleNames = {"Text", "Keyword", "Function", "PrimitiveType", "Type", "Operator",
                                "Number", "String", "Preprocessor", "Comment"};

QColor probeColor(int index)
{
    return QColor(0, 0, index + 1);
}

} // namespace

StyleProbe::StyleProbe()
{
    QString document = "<style-scheme name=\"Probe\">";
    for (int i = 0; i < styleNames.size(); ++i)
        document += QString("<style name=\"%1\" foreground=\"%2\"/>")
                        .arg(styleNames[i], probeColor(i).name());
    document += "</style-scheme>";
    m_scheme.load(document);
}

QSyntaxStyle* StyleProbe::scheme()
{
    return &m_scheme;
}

QString StyleProbe::styleOf(const QColor& foreground) const
{
    for (int i = 0; i < styleNames.size(); ++i) {
        if (probeColor(i) == foreground)
            return styleNames[i];
    }
    return "?";
}

QStringList StyleProbe::ranges(const QTextDocument& document) const
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QStringList line;
        for (const QTextLayout::FormatRange& range : block.layout()->formats())
            line << QString("%1+%2 %3")
                        .arg(range.start)
                        .arg(range.length)
                        .arg(styleOf(range.format.foreground().color()));
        lines << line.join(", ");
    }
    return lines;
}

QString blockStates(const QTextDocument& document)
{
    QString states;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        states += block.userState() < 0 ? QString("-") : QString::number(block.userState());
    return states;
}

void highlightLines(QStyleSyntaxHighlighter& highlighter, QTextDocument& document,
                    const QStringList& lines)
{
    // A document reports edits to its highlighter only once it has a layout,
    // as every document shown in an editor has.
    document.documentLayout();
    document.setPlainText(lines.join('\n'));
    highlighter.setDocument(&document);
    // Attaching queues the first full highlight; later edits are highlighted
    // synchronously only once it has run.
    QCoreApplication::processEvents();
}

void compareHighlighting(QStyleSyntaxHighlighter& highlighter, bool withScheme,
                         const QStringList& lines, const QStringList& expected,
                         const QString& states)
{
    StyleProbe probe;
    highlighter.setSyntaxStyle(withScheme ? probe.scheme() : nullptr);
    QTextDocument document;
    highlightLines(highlighter, document, lines);

    QCOMPARE(probe.ranges(document), expected);
    QCOMPARE(blockStates(document), states);
}
