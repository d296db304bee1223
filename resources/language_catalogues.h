#pragma once

// Registers the interface translations under ":/lang/" (kolmide_ru.qm and
// any other kolmide_<locale>.qm). A resource compiled into a static library
// is not linked unless something refers to it, so whoever lists or loads the
// catalogues calls this first; calls after the first do nothing.
void initLanguageCatalogues();
