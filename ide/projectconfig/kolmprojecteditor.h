#pragma once

#include <QDialog>

class KolmProject;

namespace Ui {
class KolmProjectEditor;
}

// The "Configuration" dialog of an open project: name, output file, board
// package, macro definitions and the two build options. It reads the project
// in readSettings() and changes it only in writeSettings(), which the caller
// runs after an accepted exec(); Cancel leaves the project untouched.
class KolmProjectEditor : public QDialog
{
    Q_OBJECT

public:
    explicit KolmProjectEditor(QWidget* parent = nullptr);
    ~KolmProjectEditor() override;

    void readSettings(KolmProject* project);
    void writeSettings();

    // Ctrl+O in the output field picks the output file.
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    // Keeps the dialog open while the output names one of the project's
    // own files, which a build would overwrite.
    void accept() override;

private:
    void chooseOutput();

    Ui::KolmProjectEditor* ui;
    KolmProject* m_project = nullptr;
};
