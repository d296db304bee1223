#pragma once

#include <QString>

// A project "bench" of `files` scripts of `fileSize` bytes in `directory`,
// every fourth under lib/: half of them text, half incompressible, so that
// a package of it holds both kinds. False when a file cannot be written.
bool makePackageProject(const QString& directory, int files, int fileSize);
