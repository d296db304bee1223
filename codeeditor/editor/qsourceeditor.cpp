#include "qsourceeditor.h"

#include "fixedwidthfont.h"
#include "qframedtextattribute.h"
#include "qlinenumberarea.h"
#include "qstylesyntaxhighlighter.h"
#include "qsyntaxstyle.h"

#include <QAbstractTextDocumentLayout>
#include <QCompleter>
#include <QMimeData>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>

QSourceEditor::QSourceEditor(QWidget* parent)
    : QTextEdit(parent)
    , m_lineNumberArea(new QLineNumberArea(this))
    , m_framedAttribute(new QFramedTextAttribute(this))
{
    initDocumentLayoutHandlers();
    initFont();
    performConnections();
}

void QSourceEditor::initDocumentLayoutHandlers()
{
    document()->documentLayout()->registerHandler(QFramedTextAttribute::type(),
                                                  m_framedAttribute);
}

void QSourceEditor::initFont()
{
    setFont(fixedWidthFont(10));
}

void QSourceEditor::performConnections()
{
    connect(document(), &QTextDocument::blockCountChanged, this,
            &QSourceEditor::updateLineNumberAreaWidth);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
            [this](int) { m_lineNumberArea->update(); });
    connect(this, &QTextEdit::cursorPositionChanged, this, &QSourceEditor::updateExtraSelection);
    connect(this, &QTextEdit::selectionChanged, this, &QSourceEditor::onSelectionChanged);
}

void QSourceEditor::setHighlighter(QStyleSyntaxHighlighter* highlighter)
{
    recolourWithoutRelayout([&] {
        if (m_highlighter)
            m_highlighter->setDocument(nullptr);
        m_highlighter = highlighter;
        if (m_highlighter) {
            m_highlighter->setSyntaxStyle(m_syntaxStyle);
            m_highlighter->setDocument(document());
            // Colours the text now; the highlighter's own deferred pass then
            // finds nothing left to do.
            m_highlighter->rehighlight();
        }
    });
}

void QSourceEditor::setSyntaxStyle(QSyntaxStyle* style)
{
    m_syntaxStyle = style;
    m_framedAttribute->setSyntaxStyle(style);
    m_lineNumberArea->setSyntaxStyle(style);
    if (m_highlighter)
        m_highlighter->setSyntaxStyle(style);
    updateStyle();
}

void QSourceEditor::updateStyle()
{
    if (m_highlighter)
        recolourWithoutRelayout([this] { m_highlighter->rehighlight(); });
    if (m_syntaxStyle) {
        QPalette colours = palette();
        colours.setColor(QPalette::Text, styleFormat("Text").foreground().color());
        colours.setColor(QPalette::Base, styleFormat("Text").background().color());
        colours.setColor(QPalette::Highlight, styleFormat("Selection").background().color());
        setPalette(colours);
    }
    updateExtraSelection();
    m_lineNumberArea->update();
}

void QSourceEditor::recolourWithoutRelayout(const std::function<void()>& work)
{
    // Every line the highlighter colours marks its block changed. While the
    // document is laid out for the view, each such mark lays out again every
    // block below it, which takes tens of seconds on a long script. Without a
    // page size the layout only drops the lines of the changed blocks.
    // Once the page size is back, the document is laid out in one pass. The
    // layout's signals stay blocked meanwhile: the view would otherwise take
    // the size of the part laid out first as the document's size and lose
    // its scroll position. It learns the final size once at the end.
    QTextDocument* document = this->document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    QSizeF size;
    {
        const QSignalBlocker blocker(layout);
        const QSizeF pageSize = document->pageSize();
        document->setPageSize(QSizeF(0, 0));
        work();
        document->setPageSize(pageSize);
        size = layout->documentSize();
    }
    emit layout->documentSizeChanged(size);
    viewport()->update();
    m_lineNumberArea->update();
}

QTextCharFormat QSourceEditor::styleFormat(const QString& name) const
{
    return m_syntaxStyle ? m_syntaxStyle->getFormat(name) : QTextCharFormat();
}

void QSourceEditor::setAutoIndentation(bool enabled)
{
    m_autoIndentation = enabled;
}

bool QSourceEditor::autoIndentation() const
{
    return m_autoIndentation;
}

void QSourceEditor::setAutoParentheses(bool enabled)
{
    m_autoParentheses = enabled;
}

bool QSourceEditor::autoParentheses() const
{
    return m_autoParentheses;
}

void QSourceEditor::setTabReplace(bool enabled)
{
    m_tabReplace = enabled;
}

bool QSourceEditor::tabReplace() const
{
    return m_tabReplace;
}

void QSourceEditor::setTabReplaceSize(int size)
{
    m_tabReplacement = QString(qMax(0, size), QLatin1Char(' '));
}

int QSourceEditor::tabReplaceSize() const
{
    return m_tabReplacement.size();
}

void QSourceEditor::setVisualizeWhitespace(bool enabled)
{
    m_visualizeWhitespace = enabled;
    QTextOption option = document()->defaultTextOption();
    option.setFlags(enabled ? option.flags() | QTextOption::ShowTabsAndSpaces
                            : option.flags() & ~QTextOption::ShowTabsAndSpaces);
    document()->setDefaultTextOption(option);
}

bool QSourceEditor::visualizeWhitespace() const
{
    return m_visualizeWhitespace;
}

QChar QSourceEditor::charUnderCursor(int offset) const
{
    const QTextCursor cursor = textCursor();
    const QString text = cursor.block().text();
    const int index = cursor.positionInBlock() + offset;
    return index >= 0 && index < text.size() ? text.at(index) : QChar();
}

void QSourceEditor::insertFromMimeData(const QMimeData* source)
{
    insertPlainText(source->text());
}

void QSourceEditor::focusInEvent(QFocusEvent* e)
{
    if (m_completer)
        m_completer->setWidget(this);
    QTextEdit::focusInEvent(e);
}

void QSourceEditor::paintEvent(QPaintEvent* e)
{
    updateLineNumberArea(e->rect());
    QTextEdit::paintEvent(e);
    paintOccurrences();
}

void QSourceEditor::resizeEvent(QResizeEvent* e)
{
    QTextEdit::resizeEvent(e);
    updateLineGeometry();
}

void QSourceEditor::updateLineNumberAreaWidth(int)
{
    setViewportMargins(m_lineNumberArea->sizeHint().width(), 0, 0, 0);
}

void QSourceEditor::updateLineNumberArea(const QRect& rect)
{
    m_lineNumberArea->update(0, rect.y(), m_lineNumberArea->sizeHint().width(), rect.height());
    updateLineGeometry();
    if (rect.contains(viewport()->rect()))
        updateLineNumberAreaWidth(0);
}

void QSourceEditor::updateLineGeometry()
{
    const QRect contents = contentsRect();
    m_lineNumberArea->setGeometry(contents.left(), contents.top(),
                                  m_lineNumberArea->sizeHint().width(), contents.height());
}

int QSourceEditor::getFirstVisibleBlock() const
{
    const QTextDocument* document = this->document();
    const QAbstractTextDocumentLayout* layout = document->documentLayout();
    const QRect view = viewport()->rect();
    const int scroll = verticalScrollBar()->sliderPosition();
    auto rectOf = [&](const QTextBlock& block) {
        return layout->blockBoundingRect(block).translated(0, -scroll).toRect();
    };
    // Whether the block, or the next shown one for a hidden block, ends below
    // the top of the view. Shown blocks follow each other downwards, so this
    // holds for every block from some number on.
    auto endsBelowTop = [&](QTextBlock block) {
        while (block.isValid() && !block.isVisible())
            block = block.next();
        if (!block.isValid())
            return true;
        const QRect rect = rectOf(block);
        return rect.top() + rect.height() > view.top();
    };

    // The block at the bottom of the view bounds the search; the layout has
    // to reach it for painting anyway, and nothing further is laid out.
    const int bottomPosition =
        layout->hitTest(QPointF(0, scroll + view.height()), Qt::FuzzyHit);
    int low = 0;
    int high = bottomPosition < 0 ? document->blockCount() - 1
                                  : document->findBlock(bottomPosition).blockNumber();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (endsBelowTop(document->findBlockByNumber(middle)))
            high = middle;
        else
            low = middle + 1;
    }
    for (QTextBlock block = document->findBlockByNumber(low); block.isValid();
         block = block.next()) {
        if (!block.isVisible())
            continue;
        const QRect rect = rectOf(block);
        if (rect.intersects(view))
            return block.blockNumber();
        if (rect.top() > view.bottom())
            break;
    }
    return 0;
}
