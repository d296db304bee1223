#include "droparea.h"

#include "dfu_images.h"
#include "themedetector.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QSettings>
#include <QSvgRenderer>
#include <QUrl>

#include <algorithm>

DropArea::DropArea(QWidget *parent)
    : QLabel(parent)
    , m_dark(ThemeDetector::isDarkThemeEnabled())
{
    initDfuImages();
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setFrameStyle(QFrame::NoFrame);
    QFont larger = font();
    larger.setPointSizeF(larger.pointSizeF() + 2);
    setFont(larger);
    clear();
}

int DropArea::pictureSize(int width, int height)
{
    return std::min({height / 2, width / 3, MaxPictureSize});
}

void DropArea::clear()
{
    setAcceptDrops(true);
    setText(tr("Drop firmware file<br>here"));
}

QString DropArea::droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return QString();
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    return urls.first().toLocalFile();
}

void DropArea::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void DropArea::dragMoveEvent(QDragMoveEvent *event)
{
    event->acceptProposedAction();
}

void DropArea::dragLeaveEvent(QDragLeaveEvent *event)
{
    event->accept();
}

void DropArea::dropEvent(QDropEvent *event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    QSettings().setValue(QLatin1String(SettingsKey), path);
    setText(QFileInfo(path).fileName());
    // A receiver may delete the area.
    const QPointer<DropArea> alive(this);
    emit changed(path);
    if (alive)
        event->acceptProposedAction();
}

void DropArea::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    // On the heap: the area may be deleted while the dialog runs, and would
    // take a dialog on the stack with it.
    const QPointer<DropArea> alive(this);
    QPointer<QFileDialog> dialog = new QFileDialog(this, tr("Select DFU File"),
                                                   QSettings().value(QLatin1String(SettingsKey)).toString(),
                                                   tr("DFU Files (*.dfu)"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    const bool chosen = dialog->exec() == QDialog::Accepted && dialog && alive;
    const QString path = chosen ? dialog->selectedFiles().value(0) : QString();
    delete dialog;
    if (path.isEmpty())
        return;
    QSettings().setValue(QLatin1String(SettingsKey), path);
    setAcceptDrops(false);
    emit changed(path);
}

void DropArea::paintEvent(QPaintEvent *event)
{
    const int w = width();
    const int h = height();
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(QColor(m_dark ? "#80ffffff" : "#80000000"), 1, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(pen);
        painter.setBrush(QColor(m_dark ? "#a0303030" : "#a0d6d6d6"));
        painter.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), 5, 5, Qt::AbsoluteSize);
        pen.setStyle(Qt::DashLine);
        pen.setWidth(3);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(6, 6, w - 12, h - 12), 5, 5, Qt::AbsoluteSize);
        const int side = pictureSize(w, h);
        QSvgRenderer picture(QString::fromLatin1(Picture));
        picture.render(&painter, QRectF(PictureLeft, h - PictureBottom - side, side, side));
    }
    QLabel::paintEvent(event);
}

void DropArea::resizeEvent(QResizeEvent *event)
{
    // The text is centred in the room right of the picture, never over it.
    setContentsMargins(PictureLeft + pictureSize(event->size().width(), event->size().height()), 0, 0, 0);
    QLabel::resizeEvent(event);
}
