#ifndef KOLM_ZUUPDATER_H
#define KOLM_ZUUPDATER_H

// Something that can look for a newer release of the program on request.
class ZUUpdater {
public:
    virtual ~ZUUpdater() = default;
    virtual void checkForUpdates() = 0;
};

#endif
