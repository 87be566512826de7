#!/usr/bin/env bash
# Brings the English translation file up to date with the program's texts: new texts are
# added unfinished, texts no longer in the program are dropped. Translate the new ones with
# Qt Linguist (linguist resources/translations/motor-protector_en.ts) and commit the file.
# Usage: scripts/update-translations.sh [output.ts]   (default: the file in the repository)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/translation-sources.sh
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
out=${1:-resources/translations/motor-protector_en.ts}
"$lupdate" -silent -I "$PWD" -locations none -no-obsolete -source-language zh_CN -target-language en \
  "${MP_TRANSLATION_SOURCES[@]}" -ts "$out"
