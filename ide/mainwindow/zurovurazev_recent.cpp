// The recent projects menu of the Open action. The entries come first, one
// per path, then a separator, "Open Project" and "Clear Menu"; the last
// action's data holds the list of paths, most recent first, in the order
// of the entries.

#include "zurovurazev.h"

#include "ui_zurovurazev.h"

#include <QFileInfo>
#include <QMenu>

namespace {

QAction *listHolder(QMenu *menu)
{
    return menu->actions().constLast();
}

} // namespace

void ZuROVUrazev::buildRecentMenu()
{
    auto *menu = new QMenu(ui->codeToolbar);
    ui->actionOpen_Script->setMenu(menu);
    QStringList recent = settings.value(QLatin1String(RecentFilesKey)).toStringList();
    for (auto it = recent.begin(); it != recent.end();) {
        if (!QFileInfo::exists(*it)) {
            it = recent.erase(it);
            continue;
        }
        QAction *entry = menu->addAction(*it);
        entry->setData(*it);
        connect(entry, &QAction::triggered, this, &ZuROVUrazev::codeOpenRecentAction);
        ++it;
    }
    menu->addSeparator();
    connect(menu->addAction(tr("Open Project")), &QAction::triggered, this,
            &ZuROVUrazev::on_actionOpen_Script_triggered);
    QAction *clear = menu->addAction(tr("Clear Menu"));
    clear->setData(recent);
    connect(clear, &QAction::triggered, this, &ZuROVUrazev::codeOpenRecentClear);
}

void ZuROVUrazev::checkRecentFile(const QString &path)
{
    QMenu *menu = ui->actionOpen_Script->menu();
    QStringList recent = listHolder(menu)->data().toStringList();
    const int index = recent.indexOf(path);
    if (index == 0)
        return;
    QAction *entry = nullptr;
    if (index > 0) {
        entry = menu->actions().at(index);
        menu->removeAction(entry);
        recent.removeAll(path);
    } else {
        entry = new QAction(path, menu);
        entry->setData(path);
        connect(entry, &QAction::triggered, this, &ZuROVUrazev::codeOpenRecentAction);
    }
    menu->insertAction(menu->actions().constFirst(), entry);
    recent.prepend(path);
    listHolder(menu)->setData(recent);
}

void ZuROVUrazev::codeOpenRecentAction()
{
    auto *entry = qobject_cast<QAction *>(sender());
    if (!entry)
        return;
    const QString path = entry->data().toString();
    if (!path.isEmpty())
        code_open(path);
}

void ZuROVUrazev::codeOpenRecentClear()
{
    QMenu *menu = ui->actionOpen_Script->menu();
    const int count = listHolder(menu)->data().toStringList().size();
    for (int i = 0; i < count; ++i)
        delete menu->actions().constFirst();
    listHolder(menu)->setData(QStringList());
    settings.setValue(QLatin1String(RecentFilesKey), QStringList());
}
