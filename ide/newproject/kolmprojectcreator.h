#pragma once

#include <QDialog>
#include <QPalette>
#include <QString>

class QPushButton;
class QWidget;

namespace Ui {
class KolmProjectCreator;
}

// The "New Project" dialog. It collects the project's name, base directory,
// main script (a new one from a template or an existing one), board package
// and author, checks the entries while the user types and keeps OK disabled
// until all checks pass. On OK it creates the project directory and a new
// main script; the caller reads the getters after an accepted exec() and
// creates the project file itself.
class KolmProjectCreator : public QDialog
{
    Q_OBJECT

public:
    explicit KolmProjectCreator(QWidget* parent = nullptr);
    ~KolmProjectCreator() override;

    // Runs the checks: shows the first failure and marks its field, or hides
    // the message; enables OK exactly when all passed.
    bool verify();

    QString projectName() const;
    QString projectDir() const;
    QString projectFile() const;
    QString mainFile() const;
    QString projectAuthor() const;
    // Empty for "None"; otherwise the board combo's text.
    QString bsp() const;

private slots:
    void on_mainSelectTool_clicked();
    void on_bspSelectTool_clicked();
    void update();
    void accept_processor();

private:
    // The new script's file as accept processing writes it.
    QString newScriptName() const;
    bool fail(const QString& message, QWidget* field);
    void pass(QWidget* field);

    Ui::KolmProjectCreator* ui;
    QPushButton* m_okButton;
    QPalette m_errorPalette;
};
