// singleapp_probe NAME MESSAGE: the single-instance guard for the
// application name NAME. As the first instance it prints "first", then
// "message:" and each line it receives, and ends on the line "quit" (or
// after 30 s). As a later instance it sends MESSAGE and prints "second".

#include "singleapp.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 64;
    QCoreApplication::setApplicationName(QString::fromLocal8Bit(argv[1]));
    QTextStream out(stdout);

    SingleAppHandler handler(&app);
    if (!handler.isSingle()) {
        handler.sendMessage(QString::fromLocal8Bit(argv[2]));
        out << "second\n";
        return 0;
    }

    QObject::connect(&handler, &SingleAppHandler::incomingMessage, &app, [&](const QString &msg) {
        out << "message:" << msg << "\n";
        out.flush();
        if (msg == QLatin1String("quit"))
            app.quit();
    });
    QTimer::singleShot(30000, &app, [&] { app.exit(2); });
    out << "first\n";
    out.flush();
    return app.exec();
}
