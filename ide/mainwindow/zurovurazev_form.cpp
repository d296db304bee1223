// The main window's designer form, generated from zurovurazev.ui.
#include "ui_zurovurazev.h"
