#!/usr/bin/env bash
# Brings the interface translations in line with the texts of the IDE's
# sources: new texts are added unfinished, changed ones are marked for
# review, and translations of texts that went away are kept as vanished.
# Run it by hand after changing user-visible texts, then translate the
# unfinished entries (Qt Linguist, or an editor) and commit the .ts files.
# The build compiles them; it never runs lupdate itself.
#
# With --check it leaves the catalogues alone: it updates copies of them in
# a temporary folder, lists every text that is new or unfinished there and
# fails when there is one (the test translation_catalogue_test runs this).
#
# usage: tools/update-translations.sh [--check]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
lupdate=/usr/lib/qt5/bin/lupdate
[ -x "$lupdate" ] || lupdate=$(command -v lupdate)

catalogues=(resources/lang/kolmide_*.ts)
check=false
case "${1:-}" in
  "") ;;
  --check) check=true ;;
  *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

if $check; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp "${catalogues[@]}" "$work/"
  catalogues=("$work"/kolmide_*.ts)
fi

# The folders of the Qt code; the compiler and the emulator program have no
# translated texts.
quiet=()
$check && quiet=(-silent)
"$lupdate" "${quiet[@]}" -locations none widgets ide devlink dfu codeeditor -ts "${catalogues[@]}"

if $check; then
  if ! (cd "$work" && python3 "$here/tools/unfinished-translations.py" kolmide_*.ts); then
    echo
    echo "The catalogues lag behind the sources. Run: bash tools/update-translations.sh"
    echo "then translate the texts above in resources/lang/*.ts (Qt Linguist, or an editor)"
    echo "and commit them."
    exit 1
  fi
  echo "Every source text is translated in resources/lang/: ${catalogues[*]##*/}"
fi
