#include "qnumberinput.h"

#include "inputpalette.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

#include <algorithm>

QNumberInput::QNumberInput(QWidget *parent)
    : QLineEdit(parent)
    , m_errorPalette(errorPalette(QPalette::Highlight))
    , m_hexPalette(applicationPaletteWith(QPalette::Text, Qt::blue))
{
    connect(this, &QLineEdit::textChanged, this, &QNumberInput::internalTextChanged);
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^(0x)?[A-F0-9]+h?$"), QRegularExpression::CaseInsensitiveOption), this));
    setText(QStringLiteral("0"));
}

qlonglong QNumberInput::value() const
{
    return m_value;
}

qlonglong QNumberInput::minimum() const
{
    return m_minimum;
}

qlonglong QNumberInput::maximum() const
{
    return m_maximum;
}

qlonglong QNumberInput::singleStep() const
{
    return m_singleStep;
}

void QNumberInput::setSingleStep(qlonglong step)
{
    m_singleStep = step;
}

void QNumberInput::setMinimum(qlonglong minimum)
{
    if (minimum == m_minimum)
        return;
    m_minimum = minimum;
    if (minimum > m_value)
        setValue(minimum, Dec);
}

void QNumberInput::setMaximum(qlonglong maximum)
{
    if (maximum == m_maximum)
        return;
    m_maximum = maximum;
    if (maximum < m_value)
        setValue(maximum, Dec);
}

void QNumberInput::setRange(qlonglong minimum, qlonglong maximum)
{
    setMinimum(minimum);
    setMaximum(maximum);
}

QNumberInput::Base QNumberInput::baseOf(const QString &text)
{
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return Hex;
    if (!text.isEmpty() && text.back().toLower() == QLatin1Char('h'))
        return Hex;
    const bool hasHexLetter = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const QChar lower = c.toLower();
        return lower >= QLatin1Char('a') && lower <= QLatin1Char('f');
    });
    return hasHexLetter ? Hex : Dec;
}

QNumberInput::Base QNumberInput::currentBase() const
{
    return baseOf(text());
}

QString QNumberInput::formatted(qlonglong v, Base base) const
{
    if (currentBase() == Hex || base == Hex)
        return QStringLiteral("0x%1").arg(v, 0, 16);
    return QString::number(v);
}

void QNumberInput::setValue(qlonglong v, Base base)
{
    if (v == m_value) {
        if (text().isEmpty()) {
            const bool blocked = blockSignals(true);
            setText(formatted(m_value, base));
            blockSignals(blocked);
        }
        return;
    }
    const bool blocked = blockSignals(true);
    m_value = std::min(std::max(v, m_minimum), m_maximum);
    setText(formatted(m_value, base));
    blockSignals(blocked);

    m_settingValue = true;
    emit textChanged(text());
    m_settingValue = false;
    emit valueChanged(m_value);
}

void QNumberInput::internalTextChanged(const QString &text)
{
    const Base base = baseOf(text);
    QString digits = text;
    if (digits.endsWith(QLatin1Char('h'), Qt::CaseInsensitive))
        digits.chop(1);
    bool ok = false;
    const qlonglong parsed = digits.toLongLong(&ok, base == Hex ? 16 : 10);

    if (!m_settingValue) {
        const qlonglong bounded = std::max(std::min(parsed, m_maximum), m_minimum);
        if (bounded != m_value) {
            m_value = bounded;
            emit valueChanged(m_value);
        }
    }

    if (!ok)
        setPalette(m_errorPalette);
    else if (base == Dec)
        setPalette(QGuiApplication::palette());
    else
        setPalette(m_hexPalette);
}

void QNumberInput::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        if (m_value < m_maximum)
            setValue(m_value + 1, Dec);
        event->accept();
        return;
    case Qt::Key_Down:
        if (m_value > m_minimum)
            setValue(m_value - 1, Dec);
        event->accept();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}
