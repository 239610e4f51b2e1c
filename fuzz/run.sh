#!/usr/bin/env bash
# Runs every fuzzer for a bounded time each: fuzz/run.sh BUILD_DIR [SECONDS_EACH]
# BUILD_DIR is configured with -DMARVOLT_FUZZ=ON and clang, its target "fuzzers" built.
# Each fuzzer starts from its corpus, fuzz/corpus/NAME, kept in the repository, and from
# seeds made from the fixtures; what it finds new goes into that corpus, so that the next
# run starts from there (commit it now and then). A crash, hang or leak goes to
# BUILD_DIR/fuzz-artifacts and fails the run. Each fuzzer's executions are printed.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
seconds="${2:-30}"
seeds="$build/fuzz-seeds"
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

# Seeds: the fixture drawings and the samples for the readers of drawings; their stored
# previews and block icons for the bitmap decoders.
if [ ! -d "$seeds/drawings" ]; then
  mkdir -p "$seeds/drawings" "$seeds/bitmaps" "$seeds/tails"
  /usr/bin/python3 "$here/../tests/fixtures/make_fixtures.py" "$seeds/drawings" > /dev/null
  cp "$here/../samples/"*.dwg "$seeds/drawings/"
  /usr/bin/python3 "$here/extract_bitmaps.py" "$seeds/drawings" "$seeds/bitmaps" "$seeds/tails"
fi

run() {
  local name="$1" seedDir="$2"
  shift 2
  local corpus="$here/corpus/$name"
  mkdir -p "$corpus"
  local log="$artifacts/$name.log" rc=0
  echo "== $name: $seconds s from $(ls "$corpus" | wc -l) corpus inputs and the seeds in $(basename "$seedDir")"
  "$build/bin/$name" "$corpus" "$seedDir" "$@" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/$name-" -print_final_stats=1 > "$log" 2>&1 || rc=$?
  grep -E "^stat::(number_of_executed_units|new_units_added|peak_rss_mb)|DONE" "$log" || true
  if [ "$rc" -ne 0 ]; then
    tail -n 60 "$log"
    echo "== $name failed (status $rc)"
  fi
  return "$rc"
}

status=0
run dxf_reader_fuzz "$seeds/drawings" -dict="$here/dxf.dict" || status=1
run dxf_recovery_fuzz "$seeds/drawings" -dict="$here/dxf.dict" || status=1
run preview_reader_fuzz "$seeds/tails" -dict="$here/dxf.dict" || status=1
run dib_decoder_fuzz "$seeds/bitmaps" || status=1
run icon_decoder_fuzz "$seeds/bitmaps" || status=1
exit "$status"
