#include "qframedtextattribute.h"

#include "qsyntaxstyle.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const int framedTextProperty = 1;
const qreal cornerRadius = 4;
const QChar frameCharacter = QChar::ObjectReplacementCharacter;

} // namespace

QFramedTextAttribute::QFramedTextAttribute(QObject* parent)
    : QObject(parent)
{
}

int QFramedTextAttribute::type()
{
    return 101;
}

void QFramedTextAttribute::setSyntaxStyle(QSyntaxStyle* style)
{
    m_syntaxStyle = style;
}

QSyntaxStyle* QFramedTextAttribute::syntaxStyle() const
{
    return m_syntaxStyle;
}

QSizeF QFramedTextAttribute::intrinsicSize(QTextDocument*, int, const QTextFormat&)
{
    return {0, 0};
}

void QFramedTextAttribute::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                                      const QTextFormat& format)
{
    const QFontMetrics metrics(format.toCharFormat().font());
    const QRect textRect = metrics.boundingRect(format.property(framedTextProperty).toString());
    drawFrame(painter, QRectF(rect.x(), rect.y() - textRect.height() + 4, textRect.width(),
                              textRect.height()));
}

void QFramedTextAttribute::drawFrame(QPainter* painter, const QRectF& rect) const
{
    const QTextCharFormat format =
        m_syntaxStyle ? m_syntaxStyle->getFormat("Occurrences") : QTextCharFormat();
    painter->save();
    painter->setPen(format.background().color());
    painter->setBrush(Qt::NoBrush);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->drawRoundedRect(rect, cornerRadius, cornerRadius, Qt::AbsoluteSize);
    painter->restore();
}

void QFramedTextAttribute::frame(QTextCursor cursor)
{
    QTextCharFormat format;
    format.setObjectType(type());
    format.setProperty(framedTextProperty, cursor.selectedText());
    cursor.setPosition(qMin(cursor.selectionStart(), cursor.selectionEnd()));
    cursor.insertText(QString(frameCharacter), format);
}

void QFramedTextAttribute::clear(QTextCursor cursor)
{
    QTextDocument* document = cursor.document();
    if (!document)
        return;
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
        // The ranges are taken before the first removal; every removal shifts
        // the rest of the block one place to the left. A range of object type
        // may also hold text typed next to a frame, which stays.
        const QString text = block.text();
        int removed = 0;
        for (const QTextLayout::FormatRange& range : block.textFormats()) {
            if (range.format.objectType() != type())
                continue;
            for (int index = range.start; index < range.start + range.length; ++index) {
                if (text.at(index) != frameCharacter)
                    continue;
                cursor.setPosition(block.position() + index - removed);
                cursor.deleteChar();
                ++removed;
            }
        }
    }
}
