// The project's board package, kept parsed for the build, the completer and
// the package table, and the two build-option slots.

#include "kolmprojectwindow.h"
#include "ui_kolmprojectwindow.h"

#include "kolm_board_package.h"
#include "kolmproject.h"
#include "page_dialogs.h"
#include "qkolmextendedcompleter.h"

#include <QPointer>

void KolmProjectWindow::reloadBSP()
{
    ui->projectBspButton->setEnabled(false);
    delete m_boardPackage;
    m_boardPackage = nullptr;

    const QString entry = m_project->bsp();
    if (!entry.isEmpty()) {
        auto* package = new KolmBoardPackageParser;
        std::string reason;
        if (package->parse(m_project->absolutePath(entry).toUtf8().toStdString(), &reason)) {
            m_boardPackage = package;
        } else {
            delete package;
            const QPointer<KolmProjectWindow> self(this);
            pageWarning(this, tr("Board Support Package"),
                        tr("The board support package for this project is invalid!\nPackage: %1\nError: %2")
                            .arg(entry, QString::fromUtf8(reason.c_str())));
            if (!self)
                return;
        }
    }
    // The completer offers what the page holds: the package's words, or the
    // language's alone.
    m_completer->parse(m_boardPackage);
    ui->projectBspButton->setEnabled(m_boardPackage != nullptr);
}

void KolmProjectWindow::setProjectDebug(bool on)
{
    if (m_project)
        m_project->setFlag(QLatin1String("debug"), on);
}

void KolmProjectWindow::setProjectOptimize(bool on)
{
    if (m_project)
        m_project->setOptimize(on);
}
