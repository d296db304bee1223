#include "gpio_hint.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

namespace {

// The table's texts belong to the main window, which shows them.
QString trWindow(const char *text)
{
    return QCoreApplication::translate("ZuROVUrazev", text);
}

QString centered(const QString &text)
{
    return QStringLiteral("<td align=\"center\">") + text + QStringLiteral("</td>");
}

QString spanningPinAndLabel(const QString &entry)
{
    return QStringLiteral("<td align=\"center\" colspan=2>") + entry.toHtmlEscaped() + QStringLiteral("</td>");
}

QString pinCells(const QString &pin, const QString &label)
{
    return centered(pin.toHtmlEscaped()) + centered(label.toHtmlEscaped());
}

// Splits "OUT12" into the stem "OUT" and 12; a label without trailing digits
// is all stem with the number 0. False when the digits do not convert.
bool splitLabel(const QString &label, QString &stem, qulonglong &number)
{
    int digits = label.size();
    while (digits > 0 && label.at(digits - 1) >= QLatin1Char('0') && label.at(digits - 1) <= QLatin1Char('9'))
        --digits;
    stem = label.left(digits);
    if (digits == label.size()) {
        number = 0;
        return true;
    }
    bool ok = false;
    number = label.mid(digits).toUInt(&ok);
    return ok;
}

// The cells of a run "PA0-3" labelled `label`, or false when the run cannot
// be read: its numbers do not convert or it spans more than MaxGpioRun pins.
bool addRun(const QRegularExpressionMatch &run, const QString &label, GpioHint &hint, QString &cells)
{
    bool firstOk = false;
    bool lastOk = false;
    const QString port = run.captured(1);
    const uint first = run.captured(2).toUInt(&firstOk);
    const uint last = run.captured(3).toUInt(&lastOk);
    QString stem;
    qulonglong number = 0;
    if (!firstOk || !lastOk || !splitLabel(label, stem, number))
        return false;
    if (first <= last && qulonglong(last) - first + 1 > MaxGpioRun)
        return false;
    for (qulonglong pin = first; pin <= last; ++pin, ++number) {
        const QString pinName = port + QString::number(pin);
        const QString pinLabel = stem + QString::number(number);
        hint.pins.insert(pinLabel, pinName);
        cells += pinCells(pinName, pinLabel);
    }
    return true;
}

} // namespace

GpioHint parseGpioHint(const QString &text)
{
    static const QRegularExpression runPattern(
        QRegularExpression::anchoredPattern(QStringLiteral("([A-Za-z]+)(\\d+)\\-(\\d+)")));

    GpioHint hint;
    hint.table = QStringLiteral("<br>") + trWindow("GPIO Mapping") + QStringLiteral(":<br><br><table><tr><th>")
                 + trWindow("Number") + QStringLiteral("</th><th>") + trWindow("Pin")
                 + QStringLiteral("</th><th>") + trWindow("Label") + QStringLiteral("</th></tr>");

    const QStringList entries = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (int i = 0; i < entries.size(); ++i) {
        const QString &entry = entries.at(i);
        hint.table += QStringLiteral("<tr>") + centered(QString::number(i));
        const QStringList parts = entry.split(QLatin1Char('/'));
        if (parts.size() != 2) {
            hint.table += spanningPinAndLabel(entry);
        } else if (!parts.at(0).contains(QLatin1Char('-'))) {
            hint.pins.insert(parts.at(1), parts.at(0));
            hint.table += pinCells(parts.at(0), parts.at(1));
        } else {
            const QRegularExpressionMatch run = runPattern.match(parts.at(0));
            QString cells;
            if (run.hasMatch() && addRun(run, parts.at(1), hint, cells))
                hint.table += cells;
            else
                hint.table += spanningPinAndLabel(entry);
        }
        hint.table += QStringLiteral("</tr>");
    }
    hint.table += QStringLiteral("</table>");
    return hint;
}
