#ifndef KOLM_MESSAGELINES_H
#define KOLM_MESSAGELINES_H

// Cuts the complete lines off the front of a client's receive buffer. Empty
// lines vanish; text after the last newline stays in the buffer until the
// rest of its line arrives.

#include <QString>
#include <QStringList>

QStringList takeMessageLines(QString &buffer);

#endif
