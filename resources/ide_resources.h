#pragma once

// Registers the IDE's own resources: the program icon ":/kolmide.ico", the
// update icon ":/images/images/software-update-available.ico" and the Kolm
// quick reference ":/data/kolm.md". Calls after the first do nothing.
void initIdeResources();
