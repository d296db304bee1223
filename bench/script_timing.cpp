#include "script_timing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStringList>

#include <algorithm>
#include <cstdio>

QString generatedScript(int lineCount)
{
    const QStringList header = {
        "#include \"lib.kos\"",
        "#include <delay.kos>",
        "#define LED_PIN 13",
        "",
    };
    const QStringList body = {
        // No block comment: the comment opened on the first line then runs to
        // the end and every line is re-coloured.
        "// Blink the LED %1 times",
        "// and report the count.",
        "var count%1 = 0x%1;",
        "var buffer%1[16];",
        "",
        "blink%1(var times) {",
        "    var i = 0;",
        "    while (i < times) {",
        "        PA0.VALUE = 1; // on",
        "        delay(250);",
        "        PA0.VALUE = 0;",
        "        sleep(017);",
        "        i = i + 1;",
        "    }",
        "    if (times > 10) return sizeof(buffer%1);",
        "    sprintf(buffer%1, \"count %d\", count%1);",
        "    return memcmp(buffer%1, \"x\", 1);",
        "}",
        "",
    };
    QStringList lines = header;
    for (int block = 0; lines.size() < lineCount; ++block) {
        for (const QString& line : body) {
            if (lines.size() == lineCount)
                break;
            lines << (line.contains("%1") ? line.arg(block) : line);
        }
    }
    return lines.join('\n');
}

double timeMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

void report(const char* what, std::vector<double> times, double goalMs)
{
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-46s median %8.2f ms  min %8.2f ms  max %8.2f ms  goal < %.0f ms  %s\n", what,
                median, times.front(), times.back(), goalMs, median < goalMs ? "ok" : "SLOW");
}

GuiGapMeter::GuiGapMeter()
{
    m_ticker.setInterval(5);
    QObject::connect(&m_ticker, &QTimer::timeout, [this] {
        m_longestMs = std::max(m_longestMs, m_sinceTick.nsecsElapsed() / 1e6);
        m_sinceTick.restart();
    });
    m_sinceTick.start();
    m_ticker.start();
}

std::unique_ptr<QTemporaryDir> useBenchSettings()
{
    auto dir = std::make_unique<QTemporaryDir>();
    QCoreApplication::setOrganizationName(QStringLiteral("kolm-bench"));
    QCoreApplication::setApplicationName(QStringLiteral("KolmIDE"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
    QSettings().setValue(QStringLiteral("Updates/Auto"), false);
    return dir;
}
