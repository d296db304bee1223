#ifndef KOLM_QRAMTABLEMODEL_H
#define KOLM_QRAMTABLEMODEL_H

// An image of the target's RAM as a read-only table of 16 byte columns; each
// cell shows one byte in the display format the user picked.

#include <QAbstractTableModel>
#include <QByteArray>

#include <cstdint>

class QRamViewConfig;

class QRamTableModel : public QAbstractTableModel {
    Q_OBJECT
    Q_PROPERTY(Type format READ format WRITE setFormat NOTIFY formatChanged)

public:
    enum Type : int { Bin = 0, Oct = 1, Dec = 2, Hex = 3, ASCII = 4 };
    Q_ENUM(Type)

    static constexpr int BytesPerRow = 16;

    explicit QRamTableModel(QObject *parent = nullptr);
    ~QRamTableModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replace the image: with a copy of data, or with size bytes of the
    // character '0' (init(0) empties the model).
    void init(const QByteArray &data);
    void init(int size);
    // Overwrites the whole image and signals every cell; false (and nothing
    // changed) when the size differs from the image's.
    bool sync(const QByteArray &data);
    // Overwrites the image from byte offset on. The run is clipped to the
    // image; only the cells written are signalled, and nothing when the
    // bytes are already there.
    void set(int offset, const QByteArray &data);

    Type format() const;
    const QByteArray &image() const;

    // Links the model's format with a selector in both directions.
    void connectController(QRamViewConfig *config);

    // The text of one byte in a display format; empty for an unknown format.
    static QString cellText(uint8_t byte, Type format);

public slots:
    void setFormat(QRamTableModel::Type fmt);
    void update(int idx, uint8_t value);

signals:
    void formatChanged(QRamTableModel::Type fmt);

private:
    void replaceImage(const QByteArray &image);
    void signalCells(int first, int last);
    void signalAll();

    QByteArray m_image;
    Type m_format = Dec;
};

#endif
