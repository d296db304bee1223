#pragma once

#include <QWizardPage>

class QProgressBar;

// Second page of the remote connection wizard: a title and a progress bar
// at 0.
class RemoteInfoWizardPage : public QWizardPage
{
    Q_OBJECT

public:
    explicit RemoteInfoWizardPage(QWidget *parent = nullptr);

    void initializePage() override {}

private:
    QProgressBar *m_progress;
};
