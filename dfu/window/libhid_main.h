#pragma once

#include <QString>

// The firmware updater as the process's second mode: builds its own
// application object and the updater window for `transport` ("usb" or
// "rs485") searching for the bootloader product `devname`, and runs it.
// Returns what the process runs next: 0 nothing, 1 the IDE (also when the
// updater cannot start), 2 the updater again.
int libhid_main(int argc, char *argv[], const QString &transport, const QString &devname);
