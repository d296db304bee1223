#ifndef KOLM_APP_RUNNER_H
#define KOLM_APP_RUNNER_H

#include <QString>

// The settings' organisation: the maker's web domain.
extern const char KolmOrganization[];

// One pass of the IDE: a new application object and main window, the
// event loop, then everything of the pass destroyed again. The first pass
// also reads the command line and sets up the language and the theme. A
// second instance only asks the first to show itself and returns 0.
// Returns 1 for another IDE pass, 2 for the firmware updater (the window's
// hand-off strings are then in transport and product), 0 to end.
int app_runner(int argc, char **argv, QString &transport, QString &product);

#endif
