#!/usr/bin/env bash
# Brings the interface translations in line with the texts of the IDE's
# sources: new texts are added unfinished, changed ones are marked for
# review, and translations of texts that went away are kept as vanished.
# Run it by hand after changing user-visible texts, then translate the
# unfinished entries (Qt Linguist, or an editor) and commit the .ts files.
# The build compiles them; it never runs lupdate itself.
# usage: tools/update-translations.sh
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
lupdate=/usr/lib/qt5/bin/lupdate
[ -x "$lupdate" ] || lupdate=$(command -v lupdate)
# The folders of the Qt code; the compiler and the emulator program have no
# translated texts.
"$lupdate" -locations none widgets ide devlink dfu codeeditor -ts resources/lang/kolmide_*.ts
