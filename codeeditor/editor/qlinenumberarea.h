#pragma once

#include <QWidget>

class QSourceEditor;
class QSyntaxStyle;

// The gutter at the left edge of a source editor: the numbers of the lines
// (text blocks) in view, the cursor's line in a colour of its own.
class QLineNumberArea : public QWidget
{
    Q_OBJECT

public:
    explicit QLineNumberArea(QSourceEditor* parent = nullptr);

    void setSyntaxStyle(QSyntaxStyle* style);
    QSyntaxStyle* syntaxStyle() const;

    // 13 pixels plus one advance of "9" per digit of the block count.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSyntaxStyle* m_syntaxStyle = nullptr;
    QSourceEditor* m_codeEditor = nullptr;
};
