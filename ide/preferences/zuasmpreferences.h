#ifndef KOLM_ZUASMPREFERENCES_H
#define KOLM_ZUASMPREFERENCES_H

// The IDE's preferences: General (language, colour theme, project
// directory, device poll interval, log, clock sync, emulator port, run to
// main), Connection (device filter, remote TCP and UDP device search) and
// Editor (font, tabs, scheme and editing aids). The dialog shows the values
// of the application's settings when it is built and stores them all when
// it is accepted; it applies nothing itself. Each reader of a setting reads
// it when it acts, so the caller re-applies what must change at once:
//
//     QPointer<ZuASMPreferences> dialog = new ZuASMPreferences(this);
//     const int result = dialog->exec();
//     if (!dialog)
//         return;  // the dialog went away with its parent inside exec()
//     delete dialog;
//     if (result == QDialog::Accepted) { projectPage->readSettings(); debugger->readSettings(); }
//
// A new language or colour theme takes effect at the next start; for the
// language a box over the dialog's window says so once the dialog is done.

#include <QDialog>

namespace Ui {
class ZuASMPreferences;
}

class ZuASMPreferences : public QDialog {
    Q_OBJECT

public:
    explicit ZuASMPreferences(QWidget *parent = nullptr);
    ~ZuASMPreferences() override;

private slots:
    // Runs on accepted(), so the settings are stored before exec() returns.
    void writeSettings();

private:
    void readSettings();
    // The value "UI/Language" takes for the selected entry: empty for
    // "System", else the entry's locale name (ru_RU).
    QString selectedLanguage() const;
    // Says that a new language takes effect at the next start; the box
    // stays open after the dialog has gone.
    void showLanguageWarning();

    Ui::ZuASMPreferences *ui;
};

#endif
