#pragma once

// Registers the code editor's compiled-in bundle (colour schemes and word
// lists) with Qt's resource system. Safe to call any number of times; Qt
// keeps one registration.
void registerSourceEditorResources();
