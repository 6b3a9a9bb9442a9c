#!/usr/bin/env bash
# Builds the help note data/schroed.pdf from packaging/help/schroed.htm with
# headless Chromium, and copies the formulas the help page shares with the
# note (the blocks between <!--formula:NAME--> and <!--/formula-->) from the
# note's source into data/index.htm, so that both always say the same.
#
# Needs Debian's chromium and fonts-stix (the typeface of the text and the
# formulas). The generated PDF is committed: an ordinary build needs neither.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source_page=$root/packaging/help/schroed.htm
help_page=$root/data/index.htm
pdf=$root/data/schroed.pdf

browser=$(command -v chromium || command -v chromium-browser || command -v google-chrome || true)
if [ -z "$browser" ]; then
  echo "make-help-docs: Chromium is needed (apt-get install chromium)" >&2
  exit 1
fi
if ! fc-list | grep -q 'STIX Math'; then
  echo "make-help-docs: the STIX fonts are needed (apt-get install fonts-stix)" >&2
  exit 1
fi

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
"$browser" --headless --no-sandbox --disable-gpu --no-first-run --user-data-dir="$profile" \
  --no-pdf-header-footer --print-to-pdf="$pdf.new" "file://$source_page" 2>/dev/null
# Chromium writes the same document with a new date each time; keep the old
# file when only that changed, so that rebuilding leaves git quiet.
python3 - "$pdf.new" "$pdf" <<'EOF'
import os, re, sys
new, old = sys.argv[1], sys.argv[2]
def body(path):
    with open(path, 'rb') as f:
        data = f.read()
    return re.sub(rb'/(CreationDate|ModDate) \(D:[^)]*\)', b'', data)
if os.path.exists(old) and body(old) == body(new):
    os.remove(new)
else:
    os.replace(new, old)
EOF

python3 - "$source_page" "$help_page" <<'EOF'
import re, sys
source, page = sys.argv[1], sys.argv[2]
block = re.compile(r'<!--formula:(\w+)-->\n(.*?)<!--/formula-->', re.S)
with open(source, encoding='utf-8') as f:
    formulas = {m.group(1): m.group(2) for m in block.finditer(f.read())}
with open(page, encoding='utf-8') as f:
    text = f.read()
missing = []
def fill(m):
    if m.group(1) not in formulas:
        missing.append(m.group(1))
        return m.group(0)
    return '<!--formula:%s-->\n%s<!--/formula-->' % (m.group(1), formulas[m.group(1)])
text = block.sub(fill, text)
if missing:
    sys.exit('make-help-docs: the note has no formula named ' + ', '.join(missing))
with open(page, 'w', encoding='utf-8', newline='') as f:
    f.write(text)
EOF
echo "make-help-docs: $pdf and the formulas of $help_page are up to date"
