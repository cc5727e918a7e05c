#!/usr/bin/env bash
# Re-extracts the Studio's texts (every N_("...") in studio/*.cpp and studio/wx/*.cpp) into
# po/quillon-studio.pot, merges them into po/es.po, and lists what still needs translating.
# Run from anywhere; needs gettext (xgettext, msgmerge, msgattrib).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"

shopt -s nullglob
sources=(studio/*.cpp studio/wx/*.cpp)
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
xgettext --keyword=N_ --from-code=UTF-8 --language=C++ --sort-by-file --add-comments=TRANSLATORS: \
  --package-name="Quillon Studio" --output=po/quillon-studio.pot "${sources[@]}" 2>"$log" ||
  { cat "$log" >&2; exit 1; }
# The Studio has no bug address to put in the template; say nothing about it.
grep -v -i -e 'msgid-bugs-address' -e 'Makevars' -e 'MSGID_BUGS_ADDRESS' "$log" >&2 || true
# The template's header needs no date: a re-run over unchanged sources changes nothing.
sed -i '/^"POT-Creation-Date:/d' po/quillon-studio.pot

# --previous keeps the old English beside a fuzzy guess, so the reviewer sees what changed.
msgmerge --quiet --update --backup=none --previous po/es.po po/quillon-studio.pot

# What is left to translate: new texts (untranslated) and changed ones (fuzzy guesses).
todo="$(msgattrib --no-obsolete --untranslated po/es.po; msgattrib --no-obsolete --only-fuzzy po/es.po)"
if [ -n "$todo" ]; then
  printf '%s\n' "$todo"
  echo "po/es.po: translate the messages above (and remove their fuzzy marks)." >&2
  exit 1
fi
msgfmt --check --statistics -o /dev/null po/es.po
