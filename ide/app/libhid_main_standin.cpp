// Until the firmware updater is built into the program, its entry hands
// the process straight back to the IDE.

#include "libhid_main.h"

int libhid_main(int, char **, const QString &, const QString &)
{
    return 1;
}
