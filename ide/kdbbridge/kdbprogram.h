#ifndef KOLM_KDBPROGRAM_H
#define KOLM_KDBPROGRAM_H

// What the bridges share about the halvane-kdb child: where the program
// lies and how its output is cut into lines.

#include <QByteArray>
#include <QString>
#include <QStringList>

// halvane-kdb beside the running program.
QString kdbProgramPath();

// A chunk of child output as text in the local 8-bit encoding, up to its
// first NUL byte.
QString decodeChildChunk(const QByteArray &chunk);

// Takes the complete lines out of buffer: every piece before a newline that
// is not empty, trimmed (a piece of blanks gives an empty line). The
// unterminated rest stays in buffer.
QStringList takeLines(QString &buffer);

#endif
