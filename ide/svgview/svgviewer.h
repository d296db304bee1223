#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class SvgViewer;
}

// A window that shows one SVG drawing, such as a project's schematic.
class SvgViewer : public QWidget
{
    Q_OBJECT

public:
    explicit SvgViewer(QWidget* parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    ~SvgViewer() override;

public slots:
    // Shows the drawing of the file and names the window after the file. A
    // file that cannot be read or is not SVG leaves the drawing empty. Does
    // not show the window.
    void load(QString file);

private:
    Ui::SvgViewer* ui;
};
