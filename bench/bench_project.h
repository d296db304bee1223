#pragma once

#include <QByteArray>
#include <QString>

class KolmProjectWindow;

// A project "bench" in `directory` whose only file is the main script
// main.kos holding `script`, built to bench.kcs, opened on `page`. False
// when the files cannot be written or the page does not take the project.
bool openBenchProject(const QString& directory, const QByteArray& script, KolmProjectWindow& page);

// A buildable script of `lines` lines: ten lines for each function
// (comments, a declaration, a return, a blank line, and its call in main),
// so that even 10,000 lines stay within the 64 KB of code an image holds.
QByteArray benchProjectScript(int lines);
