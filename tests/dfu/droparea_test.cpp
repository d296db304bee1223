#include "droparea.h"
#include "modal_driver.h"
#include "temp_settings.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<QMimeData> urls(const QList<QUrl> &list)
{
    auto data = std::make_unique<QMimeData>();
    data->setUrls(list);
    return data;
}

// Drags `data` onto the area: whether the drag was accepted, and whether
// the drop was.
QPair<bool, bool> dragAndDrop(DropArea &area, const QMimeData *data)
{
    const QPoint centre = area.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&area, &enter);
    QDropEvent drop(centre, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QCoreApplication::sendEvent(&area, &drop);
    return {enter.isAccepted(), drop.isAccepted()};
}

} // namespace

class DropAreaTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void drags_data();
    void drags();
    void doubleClickChoiceWaitsForClear();
    void cancelledChoiceChangesNothing();
    void deletedDuringChoice();
    void picture_data();
    void picture();
    void textBesidePicture_data();
    void textBesidePicture();

private:
    std::unique_ptr<TempSettings> m_settings;
    QTemporaryDir m_dir;
};

void DropAreaTest::init()
{
    m_settings = std::make_unique<TempSettings>();
}

void DropAreaTest::drags_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("one local file of any name") << 0 << true;
    QTest::newRow("two local files") << 1 << false;
    QTest::newRow("a remote url") << 2 << false;
    QTest::newRow("plain text") << 3 << false;
}

void DropAreaTest::drags()
{
    QFETCH(int, kind);
    QFETCH(bool, accepted);
    const QString path = m_dir.filePath(QStringLiteral("image.bin"));
    std::unique_ptr<QMimeData> data;
    switch (kind) {
    case 0:
        data = urls({QUrl::fromLocalFile(path)});
        break;
    case 1:
        data = urls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("b.dfu")))});
        break;
    case 2:
        data = urls({QUrl(QStringLiteral("https://example.org/fw/a.dfu"))});
        break;
    default:
        data = std::make_unique<QMimeData>();
        data->setText(path);
        break;
    }
    DropArea area;
    QSignalSpy changed(&area, &DropArea::changed);
    const auto result = dragAndDrop(area, data.get());
    QCOMPARE(result.first, accepted);
    QCOMPARE(result.second, accepted);
    QCOMPARE(changed.size(), accepted ? 1 : 0);
    if (accepted) {
        QCOMPARE(changed.at(0).at(0).toString(), path);
        QCOMPARE(area.text(), QStringLiteral("image.bin"));
        QCOMPARE(QSettings().value(DropArea::SettingsKey).toString(), path);
        // Drops stay open after a drop.
        QVERIFY(area.acceptDrops());
        QCOMPARE(dragAndDrop(area, data.get()).second, true);
        QCOMPARE(changed.size(), 2);
    } else {
        QCOMPARE(area.text(), QStringLiteral("Drop firmware file<br>here"));
        QVERIFY(!QSettings().contains(DropArea::SettingsKey));
    }
}

void DropAreaTest::doubleClickChoiceWaitsForClear()
{
    const QString chosen = m_dir.filePath(QStringLiteral("chosen.dfu"));
    QFile file(chosen);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    DropArea area;
    area.resize(300, 200);
    area.show();
    QSignalSpy changed(&area, &DropArea::changed);
    ModalDriver modal;
    QString caption;
    modal.then([&](QWidget *window) {
        caption = window->windowTitle();
        auto *dialog = qobject_cast<QFileDialog *>(window);
        QVERIFY(dialog);
        QCOMPARE(dialog->nameFilters(), QStringList{"DFU Files (*.dfu)"});
        dialog->selectFile(chosen);
        static_cast<QDialog *>(dialog)->accept();
    });
    QTest::mouseDClick(&area, Qt::LeftButton);
    QCOMPARE(caption, QStringLiteral("Select DFU File"));
    QCOMPARE(modal.unanswered(), 0);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), chosen);
    QCOMPARE(QSettings().value(DropArea::SettingsKey).toString(), chosen);
    // The label keeps its text; drops wait for clear().
    QCOMPARE(area.text(), QStringLiteral("Drop firmware file<br>here"));
    QVERIFY(!area.acceptDrops());
    area.clear();
    QVERIFY(area.acceptDrops());

    // The dialog opens where the last file was.
    QString directory;
    modal.then([&](QWidget *window) {
        directory = qobject_cast<QFileDialog *>(window)->directory().absolutePath();
        static_cast<QDialog *>(window)->reject();
    });
    QTest::mouseDClick(&area, Qt::LeftButton);
    QCOMPARE(directory, QFileInfo(chosen).absolutePath());
}

void DropAreaTest::cancelledChoiceChangesNothing()
{
    DropArea area;
    area.show();
    QSignalSpy changed(&area, &DropArea::changed);
    ModalDriver modal;
    modal.cancel();
    QTest::mouseDClick(&area, Qt::LeftButton);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(changed.size(), 0);
    QVERIFY(area.acceptDrops());
    QVERIFY(!QSettings().contains(DropArea::SettingsKey));
}

void DropAreaTest::deletedDuringChoice()
{
    auto *area = new DropArea;
    area->show();
    QPointer<DropArea> alive(area);
    ModalDriver modal;
    modal.then([area](QWidget *) { delete area; });
    QTest::mouseDClick(area, Qt::LeftButton);
    QVERIFY(!alive);
    QVERIFY(!QSettings().contains(DropArea::SettingsKey));
}

void DropAreaTest::picture_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("side");
    QTest::addColumn<QPoint>("corner");
    QTest::newRow("600x300, capped") << QSize(600, 300) << 128 << QPoint(8, 163);
    QTest::newRow("600x400, capped") << QSize(600, 400) << 128 << QPoint(8, 263);
    QTest::newRow("300x240, by width") << QSize(300, 240) << 100 << QPoint(8, 131);
}

// The picture's bounds in a grab: the pixels that differ from an area
// painted without it are all inside the square the size asks for.
void DropAreaTest::picture()
{
    QFETCH(QSize, size);
    QFETCH(int, side);
    QFETCH(QPoint, corner);
    QCOMPARE(DropArea::pictureSize(size.width(), size.height()), side);

    DropArea area;
    area.setText(QString());
    area.resize(size);
    const QImage image = area.grab().toImage();
    QVERIFY(image.save(QStringLiteral("droparea-%1x%2.png").arg(size.width()).arg(size.height())));
    // The chip's dark body sits in the middle of the square; outside the
    // square the dashed frame and the fill are all there is.
    QRect dark;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 60)
                dark |= QRect(x, y, 1, 1);
    QVERIFY(!dark.isEmpty());
    const QRect square(corner, QSize(side, side));
    QVERIFY2(square.contains(dark), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(dark.x()).arg(dark.y())
                                                   .arg(dark.width()).arg(dark.height())));
    // The body spans most of the square's width.
    QVERIFY(dark.width() > side / 2);
}

void DropAreaTest::textBesidePicture_data()
{
    QTest::addColumn<QSize>("size");
    // The area in the updater window at its default 400x300.
    QTest::newRow("376x228, in the window") << QSize(376, 228);
    QTest::newRow("600x300") << QSize(600, 300);
    QTest::newRow("300x240") << QSize(300, 240);
}

// The text's pixels, those that differ from the area painted without it,
// all lie right of the picture and inside the frame.
void DropAreaTest::textBesidePicture()
{
    QFETCH(QSize, size);
    DropArea area;
    area.resize(size);
    const QImage withText = area.grab().toImage();
    area.setText(QString());
    const QImage without = area.grab().toImage();
    QRect text;
    for (int y = 0; y < withText.height(); ++y)
        for (int x = 0; x < withText.width(); ++x)
            if (withText.pixel(x, y) != without.pixel(x, y))
                text |= QRect(x, y, 1, 1);
    QVERIFY(!text.isEmpty());
    const int pictureRight = DropArea::PictureLeft + DropArea::pictureSize(size.width(), size.height());
    QVERIFY2(text.left() >= pictureRight, qPrintable(QStringLiteral("text from %1, picture to %2")
                                                         .arg(text.left()).arg(pictureRight)));
    QVERIFY(text.right() < size.width() - 6);
}

QTEST_MAIN(DropAreaTest)
#include "droparea_test.moc"
