#pragma once

#include "firmware_package.h"
#include "form_child.h"
#include "hiddfu.h"
#include "modal_driver.h"
#include "settled_grab.h"
#include "usb_bus.h"

#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPixmap>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>

#include <memory>

// What the updater window's tests share: the board the simulated
// bootloaders report, packages written to a temporary folder, the window's
// widgets by name and a drop onto its drop area.
namespace updater_window {

constexpr uint32_t Board = 0x1234;
constexpr uint32_t Limit = 4096;
const QString Product = QStringLiteral("Pellam DFU");

// A bootloader of the board with room for `Limit` bytes, attached to `bus`.
inline std::unique_ptr<SimulatedHidBootloader> attachBootloader(SimulatedUsbBus &bus,
                                                                const QString &name = QStringLiteral("0483:df11:sim"),
                                                                const QString &product = Product)
{
    auto bootloader = std::make_unique<SimulatedHidBootloader>();
    bootloader->setDevice(name);
    bootloader->status.hardwareId = Board;
    bootloader->status.limit = Limit;
    bus.attach(bootloader.get(), product);
    return bootloader;
}

// Writes `bytes` as `name` into `dir` and returns its path.
inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

// A package of the board with the description `info` (plain text).
inline QByteArray package(const QByteArray &image, const QByteArray &info = "Release 2.1",
                          uint32_t board = Board)
{
    return firmwarePackage(board, info.toBase64(), image);
}

template <class T>
T *child(const HIDDfu &window, const char *name)
{
    return formChild<T>(window, QString::fromLatin1(name));
}

inline bool connected(const HIDDfu &window)
{
    return child<QStackedWidget>(window, "stackedWidget")->isEnabled();
}

inline QString log(const HIDDfu &window)
{
    return child<QTextBrowser>(window, "dfuLog")->toPlainText();
}

inline bool onDropPage(const HIDDfu &window)
{
    auto *stack = child<QStackedWidget>(window, "stackedWidget");
    return stack->currentWidget() == child<QWidget>(window, "dropPage");
}

// Drops the file `path` onto the window's drop area, as a user would.
inline void dropFile(HIDDfu &window, const QString &path)
{
    QWidget *area = child<QWidget>(window, "dfuDropArea");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    // The drop goes where the drag entered.
    QDragEnterEvent enter(area->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(area, &enter);
    QDropEvent drop(area->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(area, &drop);
}

// Answers a message box with `button`; the search dialog, when it shows
// meanwhile, is left to run.
inline ModalDriver::Answer boxOrSearch(QMessageBox::StandardButton button)
{
    return [button](QWidget *window) {
        if (auto *box = qobject_cast<QMessageBox *>(window))
            box->button(button)->click();
    };
}

// The texts of the message boxes the driver met, in order.
inline QStringList boxTexts(const QList<ModalDriver::Seen> &seen)
{
    QStringList texts;
    for (const ModalDriver::Seen &window : seen)
        if (window.kind == QLatin1String("box"))
            texts.append(window.text);
    return texts;
}

} // namespace updater_window
