// The log panel and the window settings: information and error lines,
// the settings read before the window shows and written after its event
// loop.

#include "zurovurazev.h"

#include "first_window_size.h"
#include "kolmproject.h"
#include "qmaterialfont.h"
#include "after_shown.h"
#include "ui_zurovurazev.h"

#include <QFileInfo>
#include <QMenu>
#include <QScreen>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {

constexpr int RecentFilesStored = 10;
constexpr int MinimumPingMs = 1000;

} // namespace

void ZuROVUrazev::logInfo(QString data)
{
    appendLogLine(QMaterialIcon::instance()->color(QMaterialIcon::Success).name(), data);
}

void ZuROVUrazev::logError(QString data)
{
    appendLogLine(QMaterialIcon::instance()->color(QMaterialIcon::Error).name(), data);
    if (settings.value(QStringLiteral("LogShow"), true).toBool())
        ui->actionLog->setChecked(true);
}

// Lines are queued and appended together on the next turns of the event
// loop, LogSlice lines a turn: a burst of lines costs one layout of the panel
// per slice, not one per line, and no turn takes long.
void ZuROVUrazev::appendLogLine(const QString &colorName, const QString &data)
{
    QString text = data;
    text.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    text.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    m_pendingLog << QStringLiteral("<font color=\"%1\">%2</font>").arg(colorName, text);
    // The panel keeps only its newest lines; older queued ones would be
    // dropped at once.
    if (m_pendingLog.size() > LogLines)
        m_pendingLog.erase(m_pendingLog.begin(), m_pendingLog.end() - LogLines);
    if (!m_logFlush.isActive())
        m_logFlush.start();
}

void ZuROVUrazev::flushLog(int most)
{
    if (m_pendingLog.isEmpty())
        return;
    const int count = most < 0 ? m_pendingLog.size() : qMin(most, m_pendingLog.size());
    // One parse of the slice, one paragraph per line.
    QTextDocument *doc = ui->logBrowser->document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (!doc->isEmpty())
        cursor.insertBlock();
    QString html;
    html.reserve(count * 64);
    for (int i = 0; i < count; ++i)
        html += QLatin1String("<p>") + m_pendingLog.at(i) + QLatin1String("</p>");
    cursor.insertHtml(html);
    cursor.endEditBlock();
    m_pendingLog.erase(m_pendingLog.begin(), m_pendingLog.begin() + count);
    if (!m_pendingLog.isEmpty())
        m_logFlush.start();
    QScrollBar *bar = ui->logBrowser->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void ZuROVUrazev::readSettings()
{
    if (!restoreGeometry(settings.value(QStringLiteral("Geometry")).toByteArray())) {
        const QRect room = screen()->availableGeometry();
        resize(firstWindowSize(room.size(), size()));
        move(room.center() - rect().center());
    }
    restoreState(settings.value(QStringLiteral("Window")).toByteArray(), 0);
    pingTimer.setInterval(qMax(MinimumPingMs, settings.value(QStringLiteral("Ping"), 3000).toInt()));
    ui->projectPage->readSettings();
    // The last project opens once the window is on the screen, unless
    // another one was opened by then.
    const QString last = settings.value(QStringLiteral("Editor/LastFile")).toString();
    if (!last.isEmpty())
        afterFirstPaint(this, [this, last] {
            if (!ui->projectPage->project())
                code_open(last);
        });
    ui->actionAutoStart->setChecked(settings.value(QStringLiteral("AutoStart"), false).toBool());
    pagesel_clicked(T_Script);
}

void ZuROVUrazev::writeSettings()
{
    settings.setValue(QStringLiteral("AutoStart"), ui->actionAutoStart->isChecked());
    const KolmProject *project = ui->projectPage->project();
    settings.setValue(QStringLiteral("Editor/LastFile"), project ? project->fileName() : QString());
    QStringList recent;
    if (QMenu *menu = ui->actionOpen_Script->menu())
        if (!menu->actions().isEmpty())
            recent = menu->actions().constLast()->data().toStringList();
    settings.setValue(QLatin1String(RecentFilesKey), QStringList(recent.mid(0, RecentFilesStored)));
}
