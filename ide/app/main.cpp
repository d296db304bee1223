// kolmide: the IDE and the firmware updater, in turns.

#include "app_runner.h"
#include "libhid_main.h"
#include "restart_loop.h"

int main(int argc, char **argv)
{
    return runRestartLoop(
        [&](QString &transport, QString &product) {
            PassArguments args(argc, argv);
            return app_runner(args.count(), args.values(), transport, product);
        },
        [&](const QString &transport, const QString &product) {
            PassArguments args(argc, argv);
            return libhid_main(args.count(), args.values(), transport, product);
        });
}
