#!/usr/bin/env bash
# Writes libreoffice.rtf from sample.html with LibreOffice Writer
# (apt-get install libreoffice-writer-nogui). The fixture is kept in the
# repository, so tests do not need LibreOffice.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
HOME="$work" soffice --headless --infilter="HTML (StarWriter)" --convert-to rtf \
    --outdir "$work" sample.html >/dev/null
mv "$work/sample.rtf" libreoffice.rtf
