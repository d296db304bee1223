#pragma once

#include <QObject>
#include <QTextObjectInterface>

class QPainter;
class QRectF;
class QSyntaxStyle;
class QTextCursor;

// Thin frames with rounded corners around text, in the colour of the scheme's
// "Occurrences" style.
//
// As a text object handler it draws frame characters: an object replacement
// character (U+FFFC) of object type type() placed in front of the framed text,
// whose format carries that text. frame() and clear() place and remove such
// characters, which edits the document. The editor itself never does that:
// it outlines the occurrences of a selected word through drawFrame() over the
// text as it stands.
class QFramedTextAttribute : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    explicit QFramedTextAttribute(QObject* parent = nullptr);

    // The custom text object type of a frame character.
    static int type();

    void setSyntaxStyle(QSyntaxStyle* style);
    QSyntaxStyle* syntaxStyle() const;

    // A frame takes no room in its line.
    QSizeF intrinsicSize(QTextDocument* document, int positionInDocument,
                         const QTextFormat& format) override;

    // Outlines the text that the frame character's format carries, starting at
    // the object's place.
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document,
                    int positionInDocument, const QTextFormat& format) override;

    // Draws one outline around the rectangle. Without a scheme, or with one
    // that has no "Occurrences" style, the outline is black.
    void drawFrame(QPainter* painter, const QRectF& rect) const;

    // Places a frame character in front of the cursor's selection. The caller's
    // cursor does not move.
    void frame(QTextCursor cursor);

    // Removes every frame character from the cursor's document, also runs of
    // neighbouring frame characters that the document keeps as one range.
    void clear(QTextCursor cursor);

private:
    QSyntaxStyle* m_syntaxStyle = nullptr;
};
