#!/usr/bin/env bash
# Compares two folders written by tools/write-outputs.sh: text files byte for byte, Office
# packages part by part (document dates masked); pictures byte for byte, which is stricter
# than pixel for pixel, as their encoders are deterministic.
#   bash tools/compare-outputs.sh BEFORE_DIR AFTER_DIR
# With COMPARE_PICTURES=0 the pictures, and the pictures inside the packages, are left out:
# two systems draw text with their own font rasterisers.
set -uo pipefail
pictures="${COMPARE_PICTURES:-1}"
before="$1"
after="$2"
differ=0
count=0
while IFS= read -r -d '' file; do
  rel="${file#"$before"/}"
  other="$after/$rel"
  count=$((count + 1))
  if [ ! -f "$other" ]; then echo "missing: $rel"; differ=1; continue; fi
  case "$rel" in
    *.png|*.jpg|*.bmp)
      if [ "$pictures" = 1 ] && ! cmp -s "$file" "$other"; then echo "differs: $rel"; differ=1; fi ;;
    *.docx|*.xlsx)
      if ! COMPARE_PICTURES="$pictures" python3 - "$file" "$other" <<'PY'
import os, re, sys, zipfile
def parts(path):
    with zipfile.ZipFile(path) as z:
        out = {}
        for n in z.namelist():
            if os.environ['COMPARE_PICTURES'] != '1' and n.endswith(('.png', '.jpeg', '.jpg', '.bmp', '.emf')):
                continue
            data = z.read(n)
            if n == 'docProps/core.xml':
                data = re.sub(rb'<dcterms:(created|modified)[^>]*>[^<]*<', rb'<dcterms:\1>X<', data)
            out[n] = data
        return out
a, b = parts(sys.argv[1]), parts(sys.argv[2])
bad = sorted(k for k in set(a) | set(b) if a.get(k) != b.get(k))
if bad:
    print('  parts differ:', ', '.join(bad))
    sys.exit(1)
PY
      then echo "differs: $rel"; differ=1; fi ;;
    *)
      if ! cmp -s "$file" "$other"; then echo "differs: $rel"; differ=1; fi ;;
  esac
done < <(find "$before" -type f -not -path '*/config/*' -print0 | sort -z)
echo "$count files compared"
exit $differ
