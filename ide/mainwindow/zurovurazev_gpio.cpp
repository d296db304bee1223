// The connected device's GPIO hint (its pin map and the table shown after
// the device information), the GPIO Helper action that inserts a pin set-up
// statement into the editor, and the box with the device's configuration
// information.

#include "zurovurazev.h"

#include "gpio_hint.h"
#include "kolmproject.h"
#include "page_dialogs.h"
#include "ui_zurovurazev.h"
#include "zugpiosetuphelper.h"

#include <QFileInfo>
#include <QPointer>

namespace {

constexpr int NoProjectMessageMs = 3000;

// The board packages whose pin modes the helper's statements set.
bool gpioHelperBoard(const QString &bsp)
{
    const QString name = QFileInfo(bsp).fileName();
    return name == QLatin1String("Emulator.kbsp") || name == QLatin1String("STM32F0.kbsp");
}

} // namespace

void ZuROVUrazev::parseGpioMapping(const QString &t)
{
    const GpioHint h = ::parseGpioHint(t);
    device.gpioMap = h.pins;
    device.info += h.table;
}

void ZuROVUrazev::on_actionGPIO_Helper_triggered()
{
    const KolmProject *project = ui->projectPage->project();
    if (!project) {
        ui->statusbar->showMessage(tr("No active project"), NoProjectMessageMs);
        return;
    }
    if (!gpioHelperBoard(project->bsp())) {
        pageWarning(this, tr("GPIO Helper"),
                    tr("This tool can only be used with projects based on emulator or STM32F0 board support "
                       "packages"));
        return;
    }
    QPointer<ZuROVUrazev> self(this);
    QPointer<ZuGPIOSetupHelper> dialog = new ZuGPIOSetupHelper(this);
    dialog->setup(device.gpioMap);
    const int answer = dialog->exec();
    // The window, and the dialog with it, may have gone meanwhile.
    if (!self || !dialog)
        return;
    const QString statement = dialog->getString();
    delete dialog;
    if (answer == QDialog::Accepted)
        ui->projectPage->insert(statement);
}

void ZuROVUrazev::displayCfgInfo()
{
    pageMessageBox(this, QMessageBox::Information, tr("Device Auxiliary Info"), device.configInfo);
}
