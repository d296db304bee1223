#include "qramtablemodel.h"

#include "qramviewconfig.h"

#include <algorithm>

QRamTableModel::QRamTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    qRegisterMetaType<QRamTableModel::Type>();
}

QRamTableModel::~QRamTableModel() = default;

int QRamTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return (m_image.size() + BytesPerRow - 1) / BytesPerRow;
}

int QRamTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : BytesPerRow;
}

QString QRamTableModel::cellText(uint8_t byte, Type format)
{
    switch (format) {
    case Bin:
        return QStringLiteral("%1").arg(byte, 8, 2, QLatin1Char('0'));
    case Oct:
        return QStringLiteral("%1").arg(byte, 3, 8, QLatin1Char('0'));
    case Dec:
        return QString::number(byte);
    case Hex:
        return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
    case ASCII:
        if (byte >= 0x20 && byte <= 0x7E)
            return QString(QLatin1Char(char(byte)));
        return QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return QString();
}

QVariant QRamTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || index.column() >= BytesPerRow)
        return QVariant();
    const int offset = index.row() * BytesPerRow + index.column();
    if (offset < 0 || offset >= m_image.size())
        return QVariant();
    const QString text = cellText(uint8_t(m_image.at(offset)), m_format);
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant QRamTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return QString::number(section, 16);
    return QStringLiteral("%1").arg(section * BytesPerRow, 4, 16, QLatin1Char('0'));
}

void QRamTableModel::replaceImage(const QByteArray &image)
{
    if (!m_image.isEmpty()) {
        beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
        m_image.clear();
        endRemoveRows();
    }
    if (!image.isEmpty()) {
        beginInsertRows(QModelIndex(), 0, (image.size() + BytesPerRow - 1) / BytesPerRow - 1);
        m_image = image;
        endInsertRows();
    }
}

void QRamTableModel::init(const QByteArray &data)
{
    replaceImage(data);
}

void QRamTableModel::init(int size)
{
    replaceImage(QByteArray(std::max(size, 0), '0'));
}

// A change signal names a rectangle of cells, so a run of bytes that spans
// rows is signalled as its partial first row, the full rows between and its
// partial last row.
void QRamTableModel::signalCells(int first, int last)
{
    const int firstRow = first / BytesPerRow;
    const int lastRow = last / BytesPerRow;
    const int lastColumn = BytesPerRow - 1;
    const QVector<int> roles{Qt::DisplayRole};
    if (firstRow == lastRow) {
        emit dataChanged(index(firstRow, first % BytesPerRow), index(lastRow, last % BytesPerRow), roles);
        return;
    }
    emit dataChanged(index(firstRow, first % BytesPerRow), index(firstRow, lastColumn), roles);
    if (lastRow - firstRow > 1)
        emit dataChanged(index(firstRow + 1, 0), index(lastRow - 1, lastColumn), roles);
    emit dataChanged(index(lastRow, 0), index(lastRow, last % BytesPerRow), roles);
}

void QRamTableModel::signalAll()
{
    if (m_image.isEmpty())
        return;
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

bool QRamTableModel::sync(const QByteArray &data)
{
    if (data.size() != m_image.size())
        return false;
    m_image = data;
    signalAll();
    return true;
}

void QRamTableModel::set(int offset, const QByteArray &data)
{
    // Only the part of the run that lies inside the image is written.
    const qint64 begin = std::max<qint64>(offset, 0);
    const qint64 end = std::min<qint64>(qint64(offset) + data.size(), m_image.size());
    if (begin >= end)
        return;
    const int first = int(begin);
    const int count = int(end - begin);
    const char *source = data.constData() + (first - offset);
    if (std::equal(source, source + count, m_image.constData() + first))
        return;
    std::copy(source, source + count, m_image.data() + first);
    signalCells(first, first + count - 1);
}

void QRamTableModel::update(int idx, uint8_t value)
{
    if (idx < 0 || idx >= m_image.size())
        return;
    m_image[idx] = char(value);
    signalCells(idx, idx);
}

QRamTableModel::Type QRamTableModel::format() const
{
    return m_format;
}

const QByteArray &QRamTableModel::image() const
{
    return m_image;
}

void QRamTableModel::setFormat(Type fmt)
{
    if (fmt == m_format)
        return;
    m_format = fmt;
    signalAll();
    emit formatChanged(fmt);
}

void QRamTableModel::connectController(QRamViewConfig *config)
{
    connect(this, &QRamTableModel::formatChanged, config, &QRamViewConfig::select);
    connect(config, &QRamViewConfig::selected, this, &QRamTableModel::setFormat);
}
