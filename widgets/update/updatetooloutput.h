#ifndef KOLM_UPDATETOOLOUTPUT_H
#define KOLM_UPDATETOOLOUTPUT_H

// Reads what the AppImage update tool prints: progress bars such as
// "#-----  45.6%" and a failure reason after "ERROR: ".

#include <QString>

class UpdateToolOutput {
public:
    // Takes the next chunk of output. Returns the percentage of the chunk's
    // last progress bar with its fraction cut off, or -1 when the chunk shows
    // no progress within 0 to 100. The chunk's first error line replaces the
    // error text kept from earlier chunks.
    int read(const QString &chunk);
    // The text after "ERROR: " up to the end of its line; empty when the
    // tool reported no error.
    QString errorText() const;

private:
    QString m_error;
};

#endif
