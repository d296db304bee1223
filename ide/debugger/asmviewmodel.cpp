#include "asmviewmodel.h"

#include "kolm_opcodes.h"
#include "qmaterialfont.h"

#include <QFontMetricsF>
#include <QJsonObject>
#include <QLocale>

#include <cmath>

namespace {

// The value of a JSON number that is a whole number in [low, high]; 0 for
// anything else.
double wholeNumber(const QJsonValue &value, double low, double high)
{
    if (!value.isDouble())
        return 0;
    const double number = value.toDouble();
    return std::floor(number) == number && number >= low && number <= high ? number : 0;
}

QString argumentText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    return value.toVariant().toString();
}

QString hexText(unsigned value, int digits)
{
    return QStringLiteral("0x%1").arg(value, digits, 16, QLatin1Char('0'));
}

} // namespace

AsmViewModel::AsmViewModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int AsmViewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_entries.size();
}

int AsmViewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant AsmViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case 0: return tr("Address");
    case 1: return tr("Opcode");
    case 2: return tr("Arguments");
    default: return QVariant();
    }
}

QVariant AsmViewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size() || index.column() > 2)
        return QVariant();
    const AsmEntry &entry = m_entries.at(index.row());
    if (role == Qt::BackgroundRole)
        return entry.address == m_eip ? QVariant(QMaterialIcon::instance()->color(QMaterialIcon::Warning)) : QVariant();
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case 0: return addressText(entry.address);
    case 1: return opcodeText(entry.opname, entry.opcode);
    default: return entry.arguments.join(QStringLiteral(", "));
    }
}

QString AsmViewModel::addressText(tvar address)
{
    return hexText(address, 8);
}

QString AsmViewModel::opcodeText(const QString &opname, int opcode)
{
    if (opname.isEmpty())
        return hexText(unsigned(opcode), 2);
    return opname + QStringLiteral(" (%1)").arg(hexText(unsigned(opcode), 2));
}

qreal AsmViewModel::widestText(int column, const QFontMetricsF &metrics)
{
    qreal widest = 0;
    if (column == 0) {
        // Every address has eight digits; the widest repeats the widest digit.
        for (tvar digit = 0; digit < 16; ++digit)
            widest = qMax(widest, metrics.horizontalAdvance(addressText(digit * 0x11111111u)));
    } else if (column == 1) {
        for (const kolm_isa::OpcodeInfo &info : kolm_isa::kOpcodeList)
            widest = qMax(widest, metrics.horizontalAdvance(opcodeText(QLatin1String(info.mnemonic), info.opcode)));
        for (int byte = 0; byte < 256; ++byte)
            widest = qMax(widest, metrics.horizontalAdvance(opcodeText(QString(), byte)));
    }
    return widest;
}

qreal AsmViewModel::widestArguments(const QFontMetricsF &metrics) const
{
    qreal widest = 0;
    for (const AsmEntry &entry : m_entries)
        widest = qMax(widest, metrics.horizontalAdvance(entry.arguments.join(QStringLiteral(", "))));
    return widest;
}

void AsmViewModel::fill(const QJsonArray &text)
{
    clear();
    if (text.isEmpty())
        return;
    beginInsertRows(QModelIndex(), 0, text.size() - 1);
    m_entries.reserve(text.size());
    for (const QJsonValue &element : text) {
        const QJsonObject object = element.toObject();
        AsmEntry entry;
        entry.address = tvar(wholeNumber(object.value(QLatin1String("EIP")), 0, 4294967295.0));
        entry.opcode = int(wholeNumber(object.value(QLatin1String("opcode")), -2147483648.0, 2147483647.0));
        entry.opname = object.value(QLatin1String("opname")).toString();
        for (const QJsonValue &argument : object.value(QLatin1String("args")).toArray())
            entry.arguments.append(argumentText(argument));
        m_rows.insert(entry.address, m_entries.size());
        m_entries.append(entry);
    }
    endInsertRows();
}

void AsmViewModel::clear()
{
    if (m_entries.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, m_entries.size() - 1);
    m_entries.clear();
    m_rows.clear();
    endRemoveRows();
}

tvar AsmViewModel::eip() const
{
    return m_eip;
}

int AsmViewModel::opcodeAt(tvar address) const
{
    const auto row = m_rows.constFind(address);
    return row == m_rows.constEnd() ? -1 : m_entries.at(row.value()).opcode;
}

void AsmViewModel::markChanged(int row)
{
    emit dataChanged(index(row, 0), index(row, 2), {Qt::BackgroundRole});
}

void AsmViewModel::setEip(tvar eip)
{
    if (eip == m_eip)
        return;
    const auto old = m_rows.constFind(m_eip);
    if (old != m_rows.constEnd())
        markChanged(old.value());
    m_eip = eip;
    const auto now = m_rows.constFind(m_eip);
    if (now == m_rows.constEnd())
        return;
    markChanged(now.value());
    emit rowSelected(now.value());
}
