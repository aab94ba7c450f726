#!/usr/bin/env bash
# Puts the reference data that tests use but the repository does not hold into
# a build folder: the S3M modules of Debian's pachi-data package, downloaded
# with apt and unpacked (never installed). Without network the tests that need
# them skip.
set -euo pipefail

build=${1:?usage: scripts/fetch-test-data.sh BUILD_FOLDER}
target="$build/testdata/pachi-data"
[ -f "$target/usr/share/pachi/music/stage1.s3m" ] && exit 0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if (cd "$work" && apt-get download pachi-data >/dev/null 2>&1); then
  mkdir -p "$target"
  dpkg-deb -x "$work"/pachi-data_*.deb "$target"
else
  echo "note: pachi-data could not be downloaded; the tests on real modules will skip"
fi
