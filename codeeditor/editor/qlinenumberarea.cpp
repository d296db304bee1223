#include "qlinenumberarea.h"

#include "qsourceeditor.h"
#include "qsyntaxstyle.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

QLineNumberArea::QLineNumberArea(QSourceEditor* parent)
    : QWidget(parent)
    , m_codeEditor(parent)
{
}

void QLineNumberArea::setSyntaxStyle(QSyntaxStyle* style)
{
    m_syntaxStyle = style;
}

QSyntaxStyle* QLineNumberArea::syntaxStyle() const
{
    return m_syntaxStyle;
}

QSize QLineNumberArea::sizeHint() const
{
    if (!m_codeEditor)
        return QWidget::sizeHint();
    const int digits = QString::number(qMax(1, m_codeEditor->document()->blockCount())).size();
    const int digitWidth = QFontMetrics(m_codeEditor->font()).horizontalAdvance(QLatin1Char('9'));
    return {13 + digits * digitWidth, 0};
}

void QLineNumberArea::paintEvent(QPaintEvent* event)
{
    if (!m_codeEditor)
        return;
    auto format = [this](const char* name) {
        return m_syntaxStyle ? m_syntaxStyle->getFormat(name) : QTextCharFormat();
    };

    QPainter painter(this);
    painter.fillRect(event->rect(), format("Text").background());

    const QTextDocument* document = m_codeEditor->document();
    const QAbstractTextDocumentLayout* layout = document->documentLayout();
    const int scroll = m_codeEditor->verticalScrollBar()->value();
    int blockNumber = m_codeEditor->getFirstVisibleBlock();
    QTextBlock block = document->findBlockByNumber(blockNumber);
    const QRectF firstRect = layout->blockBoundingRect(block);
    int top = int(firstRect.top() - scroll);
    int bottom = top + int(firstRect.height());

    const QColor currentColor = format("CurrentLineNumber").foreground().color();
    const QColor otherColor = format("LineNumber").foreground().color();
    const int cursorBlock = m_codeEditor->textCursor().blockNumber();
    const int width = sizeHint().width();
    const int lineHeight = QFontMetrics(m_codeEditor->font()).height();
    painter.setFont(m_codeEditor->font());

    while (block.isValid() && top <= event->rect().bottom()) {
        if (block.isVisible() && bottom >= event->rect().top()) {
            painter.setPen(blockNumber == cursorBlock ? currentColor : otherColor);
            painter.drawText(-5, top, width, lineHeight, Qt::AlignRight,
                             QString::number(blockNumber + 1));
        }
        block = block.next();
        if (!block.isValid())
            break;
        top = bottom;
        bottom = top + int(layout->blockBoundingRect(block).height());
        ++blockNumber;
    }
}
