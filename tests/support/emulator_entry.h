#ifndef KOLM_TEST_EMULATOR_ENTRY_H
#define KOLM_TEST_EMULATOR_ENTRY_H

// Answers the main window's device selection dialog with the local
// emulator's entry, found by its identifier on the entry's first line, as a
// user connecting to the emulator picks it.

#include "connectionwidget.h"
#include "modal_driver.h"

#include <QListWidget>
#include <QProgressDialog>

// Accepts the dialog with the emulator's entry selected and stores the
// entry's address in *address; rejects a dialog without it.
inline ModalDriver::Answer pickEmulatorEntry(QString *address)
{
    return [address](QWidget *window) {
        auto *list = window->findChild<QListWidget *>(QStringLiteral("deviceList"));
        if (!qobject_cast<ConnectionWidget *>(window) || !list)
            return void(window->close());
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->text().section(QLatin1Char('\n'), 0, 0) == QLatin1String("EMU-0000000000")) {
                list->setCurrentRow(row);
                *address = list->item(row)->data(ConnectionWidget::DeviceRole).toString();
                return static_cast<QDialog *>(window)->accept();
            }
        }
        static_cast<QDialog *>(window)->reject();
    };
}

// The emulator's start and the link coming up show progress dialogs that go
// by themselves.
inline bool isProgressDialog(QWidget *window)
{
    return qobject_cast<QProgressDialog *>(window) != nullptr;
}

#endif
