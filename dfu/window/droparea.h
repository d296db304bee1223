#pragma once

#include <QLabel>
#include <QString>

class QDragEnterEvent;
class QDropEvent;
class QMimeData;
class QMouseEvent;
class QPaintEvent;
class QResizeEvent;

// The drop zone through which the user picks a firmware package: exactly one
// local file dragged onto it, or a file chosen in a dialog after a
// double-click. It reports the path with changed() and does not look into
// the file. The last path is kept under "UI/DropArea_File".
class DropArea : public QLabel
{
    Q_OBJECT

public:
    static constexpr char SettingsKey[] = "UI/DropArea_File";
    static constexpr char Picture[] = ":/dfu/images/firmware.svg";
    static constexpr int MaxPictureSize = 128;
    // The picture's left edge and its distance from the bottom edge.
    static constexpr int PictureLeft = 8;
    static constexpr int PictureBottom = 9;

    explicit DropArea(QWidget *parent = nullptr);

    // The side of the picture in an area of that size.
    static int pictureSize(int width, int height);

public slots:
    // Accepts drops again and shows the invitation text.
    void clear();

signals:
    void changed(QString file);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The local file of a drag that carries exactly one; empty otherwise.
    static QString droppedFile(const QMimeData *data);

    bool m_dark;
};
