#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

namespace Ui {
class KolmProjectHexview;
}

// Shows a compiled image as a C array declaration, sixteen bytes to a line,
// ready to be copied into a C source.
class KolmProjectHexview : public QDialog
{
    Q_OBJECT

public:
    explicit KolmProjectHexview(QWidget* parent = nullptr);
    ~KolmProjectHexview() override;

    // Stores the image and the array's name and shows the declaration.
    void setData(const QByteArray& data, const QString& name);
    // Regenerates the declaration from the stored image and name.
    void makeCArray();

    // The declaration of `data` as an array called `name` (blanks become
    // underscores; "binary" when the name is empty).
    static QString cArray(const QByteArray& data, const QString& name);

private:
    // Widens the dialog so that a whole line of bytes shows without
    // scrolling sideways.
    void fitByteLine();

    Ui::KolmProjectHexview* ui;
    QByteArray m_data;
    QString m_name;
};
