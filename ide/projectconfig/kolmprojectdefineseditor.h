#pragma once

#include "kolmprojectdefinesmodel.h"

#include <QStringList>
#include <QWidget>

namespace Ui {
class KolmProjectDefinesEditor;
}

// The project's macro definitions in a list with tools to add, remove,
// clear and import them from another project.
class KolmProjectDefinesEditor : public QWidget
{
    Q_OBJECT

public:
    explicit KolmProjectDefinesEditor(QWidget* parent = nullptr);
    ~KolmProjectDefinesEditor() override;

    void setDefines(const QStringList& list);
    QStringList getDefines() const;

protected:
    // Return and Enter go on to the dialog that holds the editor.
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void on_addTool_clicked();
    void on_removeTool_clicked();
    void on_clearTool_clicked();
    void on_importTool_clicked();

private:
    Ui::KolmProjectDefinesEditor* ui;
    KolmProjectDefinesModel m_model;
};
