// The preferences action: the dialog stores the settings, the window then
// re-applies those that take effect at once (the editor's and the
// debugger's).

#include "zurovurazev.h"

#include "ui_zurovurazev.h"
#include "zuasmpreferences.h"

#include <QPointer>

void ZuROVUrazev::on_actionPreferences_triggered()
{
    QPointer<ZuASMPreferences> dialog = new ZuASMPreferences(this);
    const int result = dialog->exec();
    if (!dialog)
        return;  // deleted with the window inside exec()
    delete dialog;
    if (result == QDialog::Accepted) {
        ui->projectPage->readSettings();
        ui->zudbgPage->readSettings();
    }
}
