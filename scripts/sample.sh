#!/usr/bin/env bash
# Installs what is missing, builds bmp2spr, and runs it on a copy of the
# bundled sample folder, so that the clone itself stays as it was.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target bmp2spr -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/bmp2spr-sample.XXXXXX")
cp sample/* "$work"/
echo "== converting a copy of sample/ in $work"
(cd "$work" && "$OLDPWD/build/bmp2spr")
echo "== files there now"
(cd "$work" && ls -l)
first=$(cd "$work" && ls ./*.spr | head -n 1)
echo "== the first bytes of ${first#./}: the magic, then the encoded BMP"
od -A d -t x1 -N 22 "$work/${first#./}"
