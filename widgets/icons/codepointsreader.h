#ifndef KOLM_CODEPOINTSREADER_H
#define KOLM_CODEPOINTSREADER_H

// Reads the icon font's glyph list: one glyph per line, a name and its code
// in hexadecimal separated by a space. Lines of another shape are skipped; a
// code that does not parse counts as 0; a name listed again takes the code of
// its later line. Entries are added to what the table already holds.

#include <QHash>
#include <QString>

class QIODevice;

void readCodepoints(QIODevice &file, QHash<QString, unsigned int> &codepoints);

#endif
