#pragma once

#include "insertedquotes.h"

#include <QTextCursor>
#include <QTextEdit>
#include <QVector>

#include <functional>

class QCompleter;
class QFramedTextAttribute;
class QLineNumberArea;
class QStyleSyntaxHighlighter;
class QSyntaxStyle;

// The source editor: a text edit with a line-number gutter, colours from a
// colour scheme, a mark on the current line and on the bracket that matches
// the one next to the cursor, outlines around every occurrence of a selected
// word, plain-text pasting, indentation and bracket-closing keys, and a hook
// for a completion popup.
//
// Until a scheme is set, everything that draws with one uses empty formats and
// the palette stays as it is. A read-only editor changes no text on any key.
class QSourceEditor : public QTextEdit
{
    Q_OBJECT

public:
    explicit QSourceEditor(QWidget* parent = nullptr);

    // Installs the highlighter on the document and colours the text at once;
    // null removes the current one. The editor does not own it.
    void setHighlighter(QStyleSyntaxHighlighter* highlighter);

    // Colours the editor, its gutter, the outlines and the highlighting with
    // the scheme; null keeps the palette. The editor does not own it.
    void setSyntaxStyle(QSyntaxStyle* style);

    void setAutoIndentation(bool enabled);
    bool autoIndentation() const;
    void setAutoParentheses(bool enabled);
    bool autoParentheses() const;
    void setTabReplace(bool enabled);
    bool tabReplace() const;
    // Tab inserts this many spaces while tab replace is on; 0 or less none.
    void setTabReplaceSize(int size);
    int tabReplaceSize() const;
    // Shows tabs and spaces; the document's other text options stay.
    void setVisualizeWhitespace(bool enabled);
    bool visualizeWhitespace() const;

    // Installs the completion popup provider (null removes it): the editor
    // becomes its widget and the chosen entry replaces the word before the
    // cursor. The editor does not own it.
    void setCompleter(QCompleter* completer);
    QCompleter* completer() const;

public slots:
    // Replaces the run of word characters before the cursor with the text,
    // when the completer serves this editor.
    void insertCompletion(const QString& text);
    // Reserves the gutter's width as the left viewport margin.
    void updateLineNumberAreaWidth(int);
    // Brings the gutter up to date for a painted viewport rectangle.
    void updateLineNumberArea(const QRect& rect);
    // Rebuilds the current-line and bracket marks.
    void updateExtraSelection();
    // Applies the scheme to the palette and the highlighting again.
    void updateStyle();
    // Outlines the occurrences of a selected whole word.
    void onSelectionChanged();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

    // The character at the cursor's place in its block plus the offset; the
    // null character outside the block.
    QChar charUnderCursor(int offset = 0) const;
    void highlightCurrentLine(QList<QTextEdit::ExtraSelection>& extraSelection);
    void highlightParenthesis(QList<QTextEdit::ExtraSelection>& extraSelection);
    // Makes the cursor's selected text the word whose occurrences are outlined.
    void handleSelectionQuery(QTextCursor cursor);
    // The occurrences of the outlined word in the blocks in view.
    QVector<QTextCursor> visibleOccurrences() const;

    void initDocumentLayoutHandlers();
    void initFont();
    void performConnections();

    // The number of the first block in view.
    int getFirstVisibleBlock() const;
    // Places the gutter over the left margin.
    void updateLineGeometry();

    // The indentation of the cursor's line in character columns.
    int getIndentationSpaces();
    // The text with one indentation unit added at the start of every line.
    QString increaseIndent(const QString& text) const;
    // The text with one indentation unit removed from every line that starts
    // with one.
    QString decreaseIndent(const QString& text) const;
    // The run of letters, digits and "." before the cursor.
    QString wordUnderCursor() const;
    // Whether the completer takes the key before the editor sees it.
    bool proceedCompleterBegin(QKeyEvent* e);
    // Updates, shows or hides the popup after the key took effect.
    void proceedCompleterEnd(QKeyEvent* e);

private:
    friend class QLineNumberArea;

    // Runs work that re-colours the document (attaching, detaching or
    // re-running a highlighter) while the layout only drops its lines, then
    // lays the document out once, keeping the view where it was.
    void recolourWithoutRelayout(const std::function<void()>& work);
    // Tab and Shift+Tab on a selection; true when the key was handled.
    bool indentSelection(QKeyEvent* e);
    // The steps of keyPressEvent that change the text around the base
    // handling; true when the key was handled completely.
    bool handleEditingKey(QKeyEvent* e);
    // After the base handling inserted the typed text: gives an opening
    // bracket or quote its partner, or steps a closing one over its partner.
    void closePair(const QString& typed);
    // The indentation of a line of the given columns, plus extra units.
    QString indentation(int columns, int extraUnits) const;
    // The width of a tab stop in average character widths.
    qreal tabColumns() const;
    // The start of the run of word characters before the cursor.
    int wordStart() const;
    void paintOccurrences();
    QTextCharFormat styleFormat(const QString& name) const;

    QStyleSyntaxHighlighter* m_highlighter = nullptr;
    QSyntaxStyle* m_syntaxStyle = nullptr;
    QLineNumberArea* m_lineNumberArea = nullptr;
    QCompleter* m_completer = nullptr;
    QFramedTextAttribute* m_framedAttribute = nullptr;
    bool m_autoIndentation = true;
    bool m_visualizeWhitespace = false;
    bool m_autoParentheses = true;
    bool m_tabReplace = true;
    QString m_tabReplacement = QString(4, ' ');
    InsertedQuotes m_insertedQuotes;
    // The selected word whose occurrences are outlined; empty for none.
    QString m_occurrenceText;
};
