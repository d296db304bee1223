#include "libhid_main.h"

#include "hiddfu.h"
#include "qmaterialfont.h"
#include "themedetector.h"

#include <QApplication>
#include <QMessageBox>

int libhid_main(int argc, char *argv[], const QString &transport, const QString &devname)
{
    QApplication app(argc, argv);
    // The icon service outlives application objects: one made for an earlier
    // application must register its font with this one.
    QMaterialIcon *icons = QMaterialIcon::instance();
    if (!icons->takeFresh()) {
        icons->deinit();
        icons->init();
        icons->setDefaultColors(ThemeDetector::isDarkThemeEnabled());
        ThemeDetector::reinit();
    }

    auto *window = new HIDDfu(nullptr, Qt::Window);
    window->setTransport(transport);
    window->setDeviceNames({devname});
    if (!window->init()) {
        QMessageBox::critical(nullptr, QStringLiteral("Firmware Updater"),
                              QStringLiteral("A problem with the Updater application has been detected. "
                                             "The applictaion will be closed."),
                              QMessageBox::Ok);
        delete window;
        return 1;
    }
    window->show();
    app.exec();
    const int code = window->exitCode();
    delete window;
    return code;
}
