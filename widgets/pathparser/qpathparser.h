#ifndef KOLM_QPATHPARSER_H
#define KOLM_QPATHPARSER_H

#include <QString>

class QPathParser {
public:
    // The canonical absolute path of an existing file or directory, with a
    // leading tilde standing for the home directory (the text after the tilde
    // is appended to it as it stands); empty when nothing exists there.
    static QString canonicalFilePath(const QString &path);
};

#endif
