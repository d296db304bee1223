#ifndef KOLM_RESTART_LOOP_H
#define KOLM_RESTART_LOOP_H

// The process alternates between the IDE and the firmware updater, each
// with an application object of its own. A pass returns what comes next:
// 1 an IDE pass, 2 an updater pass, 0 the end with exit status 0; anything
// else ends the process with exit status 1.

#include <QByteArrayList>
#include <QString>

#include <functional>
#include <vector>

// One IDE pass; it leaves the firmware hand-off strings (transport name and
// bootloader product string) in its arguments.
using IdePass = std::function<int(QString &transport, QString &product)>;
// One updater pass for the device the IDE handed over.
using UpdaterPass = std::function<int(const QString &transport, const QString &product)>;

// Runs passes from an IDE pass on; returns the process exit status.
int runRestartLoop(const IdePass &ide, const UpdaterPass &updater);

// What an IDE pass returns for the result of its event loop: 254 another
// IDE pass, 255 the updater, anything else the end.
int idePassResult(int eventLoopResult);

// A pass's own copy of the command line. The application object of a pass
// takes the toolkit's options (-platform, -style...) out of the array it is
// given: a later pass built from the same array would miss them, and would
// read an argument count that no longer matches the array.
class PassArguments {
public:
    PassArguments(int argc, char **argv);
    PassArguments(const PassArguments &) = delete;
    PassArguments &operator=(const PassArguments &) = delete;

    // The count and the array, terminated by a null pointer, for the
    // pass's application object; both live as long as this object.
    int &count() { return m_count; }
    char **values() { return m_pointers.data(); }

private:
    QByteArrayList m_values;
    std::vector<char *> m_pointers;
    int m_count;
};

#endif
