// Project actions of the main window: opening projects and the
// recent-projects menu, the page's modified and compiled states.
// Stand-ins until the project actions land.

#include "zurovurazev.h"

void ZuROVUrazev::code_open(const QString &) {}
void ZuROVUrazev::on_actionOpen_Script_triggered() {}
void ZuROVUrazev::codeOpenRecentAction() {}
void ZuROVUrazev::codeOpenRecentClear() {}
void ZuROVUrazev::project_modified(bool) {}
void ZuROVUrazev::project_compiled(bool) {}
void ZuROVUrazev::project_compilationFinished(bool) {}
