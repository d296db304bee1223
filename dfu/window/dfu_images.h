#pragma once

// Registers the updater's pictures (":/dfu/images/...") compiled into this
// library; safe to call any number of times.
void initDfuImages();
