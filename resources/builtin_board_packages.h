#pragma once

// Registers the built-in board support packages under ":/data/bsp/".
// A resource compiled into a static library is not linked unless something
// refers to it, so every reader of the packages calls this first; calls after
// the first do nothing.
void initBuiltinBoardPackages();
