// kolmide: the IDE and the firmware updater, in turns.

#include "app_runner.h"
#include "libhid_main.h"
#include "restart_loop.h"

int main(int argc, char **argv)
{
    return runRestartLoop(
        [&](QString &transport, QString &product) { return app_runner(argc, argv, transport, product); },
        [&](const QString &transport, const QString &product) {
            return libhid_main(argc, argv, transport, product);
        });
}
