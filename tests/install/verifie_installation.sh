#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs: the
# program and its simulator, the menu entries, the icon, the metainfo, the man page and
# the guide, each where the desktop looks for it, and valid.
# Usage: verifie_installation.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

echec=0
attendu() { [ -e "$prefix/$1" ] || { echo "missing: $1"; echec=1; }; }
for f in bin/kelvor bin/kelvor-sim \
         share/applications/org.example.kelvor.desktop \
         share/applications/org.example.kelvor.simulateur.desktop \
         share/icons/hicolor/scalable/apps/org.example.kelvor.svg \
         share/metainfo/org.example.kelvor.metainfo.xml \
         share/man/man1/kelvor.1.gz \
         share/kelvor/guide/index.html share/kelvor/guide/guide.css \
         share/kelvor/guide/connexion.html share/kelvor/guide/spectre.html \
         share/kelvor/guide/cinetique.html share/kelvor/guide/beer-lambert.html \
         share/kelvor/guide/enregistrer.html share/kelvor/guide/simulateur.html; do
  attendu "$f"
done
# Every picture a page shows is installed with it.
for page in "$prefix"/share/kelvor/guide/*.html; do
  for image in $(grep -o 'src="[^"]*"' "$page" | sed 's/src="//; s/"$//'); do
    attendu "share/kelvor/guide/$image"
  done
done
# Nothing but the program's own files (no libraries, headers or test programs).
autres=$(cd "$prefix" && find . -type f | grep -v -E '^\./(bin/kelvor(-sim)?|share/(applications|icons|metainfo|man|kelvor)/.*)$' || true)
[ -z "$autres" ] || { echo "unexpected files:"; echo "$autres"; echec=1; }

desktop-file-validate "$prefix"/share/applications/*.desktop || echec=1
appstreamcli validate --no-net "$prefix"/share/metainfo/org.example.kelvor.metainfo.xml || echec=1
# The man page renders without warnings (where man is installed).
if command -v man >/dev/null; then
  avertissements=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/kelvor.1.gz" 2>&1 >/dev/null || true)
  [ -z "$avertissements" ] || { echo "man page: $avertissements"; echec=1; }
fi
"$prefix/bin/kelvor" --version | grep -qx 'kelvor [0-9.]*' || { echo "kelvor --version"; echec=1; }
exit $echec
