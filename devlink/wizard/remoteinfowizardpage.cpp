#include "remoteinfowizardpage.h"

#include <QProgressBar>
#include <QVBoxLayout>

RemoteInfoWizardPage::RemoteInfoWizardPage(QWidget *parent)
    : QWizardPage(parent)
    , m_progress(new QProgressBar(this))
{
    setTitle(tr("Remote Device"));
    m_progress->setValue(0);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_progress);
}
