#ifndef KOLM_LIBHID_MAIN_H
#define KOLM_LIBHID_MAIN_H

#include <QString>

// One pass of the firmware updater: its own application object and window
// for the device the IDE handed over (transport name "usb" or "network",
// bootloader product string). Returns 0 to end the process, 1 to return to
// the IDE (also when the updater cannot start), 2 to run the updater again.
int libhid_main(int argc, char **argv, const QString &transport, const QString &product);

#endif
