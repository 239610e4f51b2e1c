#!/usr/bin/env bash
# Runs the reader's fuzzer for a bounded time: fuzz/run.sh BUILD_DIR [SECONDS]
# BUILD_DIR is configured with -DMARVOLT_FUZZ=ON and clang. Seeds are the fixture
# drawings and the sample; inputs the fuzzer finds go to BUILD_DIR/fuzz-corpus, and a
# crash, hang or leak to BUILD_DIR/fuzz-artifacts (the run then fails).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
seconds="${2:-60}"
seeds="$build/fuzz-seeds"
corpus="$build/fuzz-corpus"
artifacts="$build/fuzz-artifacts"
mkdir -p "$seeds" "$corpus" "$artifacts"
if [ -z "$(ls -A "$seeds")" ]; then
  /usr/bin/python3 "$here/../tests/fixtures/make_fixtures.py" "$seeds" > /dev/null
  cp "$here/../samples/library.dwg" "$seeds/"
fi
"$build/bin/dxf_reader_fuzz" "$corpus" "$seeds" \
  -dict="$here/dxf.dict" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$artifacts/" -print_final_stats=1
