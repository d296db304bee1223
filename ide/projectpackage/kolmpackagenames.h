#pragma once

#include <QString>

// Checks of the names a package carries. The import applies them to every
// name read from an archive, the export to every name it would write, so a
// package never holds a name its import refuses.

// One plain path component: not empty, not "." or "..", no directory
// separator of any platform, no drive or scheme prefix, no NUL.
bool isPlainName(const QString& name);

// A relative path that stays below the directory it is taken against: not
// empty, not absolute on any platform (a leading separator, a drive or a
// scheme such as "C:" or "sys:"), no ".." part, no NUL, and more than the
// directory itself. A trailing "/" marks a directory entry.
bool isPackageEntryName(const QString& name);

// A name as a log line shows it: a NUL or another control character, which
// would cut the line or vanish, is written as "\0" or "\xNN".
QString shownEntryName(const QString& name);
