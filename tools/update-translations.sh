#!/usr/bin/env bash
# Brings every translations/tarnwick_<language>.ts up to date with the texts
# in src/: new texts are added unfinished, texts gone from the code are
# dropped. Translate the new entries with Qt Linguist (linguist) or any
# editor, then build: the .ts files are compiled into the program.
#   tools/update-translations.sh                    every language there is
#   tools/update-translations.sh translations/tarnwick_fr.ts   a new language
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
[ -x "$lupdate" ] || { echo "update-translations: install qt6-l10n-tools (scripts/setup.sh)" >&2; exit 1; }
if [ $# -gt 0 ]; then
  ts=("$@")
else
  ts=(translations/tarnwick_*.ts)
fi
for file in "${ts[@]}"; do
  language=$(basename "$file" .ts)
  language=${language#tarnwick_}
  # No line numbers: they would change the files with every edit of the code.
  "$lupdate" -silent -locations none -no-obsolete -target-language "$language" src -ts "$file"
done
