#include "qhexlineedit.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>

#include <algorithm>

QHexLineEdit::QHexLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setAlignment(Qt::AlignCenter);
    // Drops and the context menu's paste would insert characters.
    setAcceptDrops(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    rebuild();
}

int QHexLineEdit::size() const
{
    return m_size;
}

unsigned char QHexLineEdit::defaultValue() const
{
    return m_default;
}

void QHexLineEdit::setSize(int bytes)
{
    m_size = std::max(bytes, 0);
    rebuild();
}

void QHexLineEdit::setDefaultValue(unsigned char value)
{
    m_default = value;
    rebuild();
}

void QHexLineEdit::rebuild()
{
    setText(QStringLiteral("%1").arg(m_default, 2, 16, QLatin1Char('0')).toUpper().repeated(m_size));
}

bool QHexLineEdit::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::InputMethod:
    case QEvent::InputMethodQuery:
        event->ignore();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        // The middle button pastes the selection on X11.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton) {
            event->ignore();
            return false;
        }
        break;
    default:
        break;
    }
    return QLineEdit::event(event);
}

void QHexLineEdit::overwrite(int position, const QString &digits, int cursor)
{
    QString digitsNow = text();
    digitsNow.replace(position, digits.size(), digits);
    setText(digitsNow);
    setCursorPosition(cursor);
    emit textEdited(text());
}

void QHexLineEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (isReadOnly() || key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_Left ||
        key == Qt::Key_Right || (key == Qt::Key_C && modifiers == Qt::ControlModifier)) {
        QLineEdit::keyPressEvent(event);
        return;
    }

    const int p = hasSelectedText() ? selectionStart() : cursorPosition();
    // The digits that exist, even when the text was set from outside.
    const int n = std::min(2 * m_size, text().size());
    const QString defaultDigit = QString::number(m_default & 0x0F, 16).toUpper();

    if (key == Qt::Key_Backspace) {
        if (p >= 1 && p <= n)
            overwrite(p - 1, defaultDigit, p - 1);
        return;
    }
    if (p >= n)
        return;
    if (key == Qt::Key_Delete) {
        overwrite(p, defaultDigit, p + 1);
        return;
    }
    const bool digit = key >= Qt::Key_0 && key <= Qt::Key_9 && (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool letter = key >= Qt::Key_A && key <= Qt::Key_F && modifiers == Qt::NoModifier;
    if (digit || letter) {
        overwrite(p, QString(QChar(key)).toUpper(), p + 1);
        return;
    }
    if (key == Qt::Key_V && modifiers == Qt::ControlModifier) {
        const QString pasted = QGuiApplication::clipboard()->text().toUpper();
        static const QRegularExpression hexDigits(QStringLiteral("\\A[A-Fa-f0-9]+\\z"));
        if (pasted.isEmpty() || !hexDigits.match(pasted).hasMatch())
            return;
        const int room = hasSelectedText() ? std::min(selectedText().size(), n - p) : n - p;
        const QString written = pasted.left(room);
        overwrite(p, written, p + written.size());
    }
}
