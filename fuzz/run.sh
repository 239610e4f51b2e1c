#!/usr/bin/env bash
# Runs every fuzzer for a bounded time each:
#   fuzz/run.sh [--update] BUILD_DIR [SECONDS_EACH [NAME...]]
# (only the fuzzers named, when some are).
# BUILD_DIR is configured with -DMARVOLT_FUZZ=ON and clang, its target "fuzzers" built.
# Each fuzzer starts from its corpus, fuzz/corpus/NAME, kept in the repository, and from
# seeds made from the fixtures. What a run finds new goes to BUILD_DIR/fuzz-new/NAME, so
# that a run leaves the checkout as it was; with --update the corpus is then minimized
# together with those finds (libFuzzer's -merge) and replaces fuzz/corpus/NAME, to be
# committed. A crash, hang or leak goes to BUILD_DIR/fuzz-artifacts and fails the run.
# Each fuzzer's executions are printed.
set -euo pipefail
update=0
if [ "${1:-}" = "--update" ]; then
  update=1
  shift
fi
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
seconds="${2:-30}"
shift $(( $# < 2 ? $# : 2 ))
only=" $* "
seeds="$build/fuzz-seeds"
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

# Seeds: the fixture drawings and the samples for the readers of drawings; their stored
# previews and block icons for the bitmap decoders; the end-to-end scripts for the
# script line reader.
if [ ! -d "$seeds/scripts" ]; then
  rm -rf "$seeds"
  mkdir -p "$seeds/drawings" "$seeds/bitmaps" "$seeds/tails" "$seeds/scripts"
  /usr/bin/python3 "$here/../tests/fixtures/make_fixtures.py" "$seeds/drawings" > /dev/null
  cp "$here/../samples/"*.dwg "$seeds/drawings/"
  /usr/bin/python3 "$here/extract_bitmaps.py" "$seeds/drawings" "$seeds/bitmaps" "$seeds/tails"
  for script in "$here"/../tests/e2e/*/*.scr "$here"/../samples/*.scr; do
    cp "$script" "$seeds/scripts/$(basename "$(dirname "$script")")-$(basename "$script")"
  done
fi

# run NAME SEED_DIR MAX_LEN [OPTIONS...]: inputs are kept to MAX_LEN bytes, which is room
# enough for what the parser reads and keeps the corpus small.
run() {
  local name="$1" seedDir="$2" maxLen="$3"
  shift 3
  if [ "$only" != "  " ] && [[ "$only" != *" $name "* ]]; then return 0; fi
  local corpus="$here/corpus/$name" found="$build/fuzz-new/$name"
  mkdir -p "$corpus" "$found"
  local log="$artifacts/$name.log" rc=0
  echo "== $name: $seconds s from $(ls "$corpus" | wc -l) corpus inputs and the seeds in $(basename "$seedDir")"
  "$build/bin/$name" "$found" "$corpus" "$seedDir" "$@" -max_len="$maxLen" -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$artifacts/$name-" -print_final_stats=1 > "$log" 2>&1 || rc=$?
  grep -E "^stat::(number_of_executed_units|new_units_added|peak_rss_mb)|DONE" "$log" || true
  if [ "$rc" -ne 0 ]; then
    tail -n 60 "$log"
    echo "== $name failed (status $rc)"
    return "$rc"
  fi
  if [ "$update" -eq 1 ]; then
    # The fewest inputs that add to what the seeds cover, from the corpus and the finds
    # together: the merge starts from the seeds, which are made anew for every run and
    # so are left out of the corpus.
    local merged="$build/fuzz-merged/$name"
    rm -rf "$merged"
    mkdir -p "$merged"
    cp "$seedDir"/* "$merged/"
    "$build/bin/$name" -merge=1 -max_len="$maxLen" "$merged" "$corpus" "$found" "$@" > "$artifacts/$name.merge.log" 2>&1
    (cd "$seedDir" && ls) | while read -r seed; do rm -f "$merged/$seed"; done
    rm -rf "$corpus" "$found"
    mv "$merged" "$corpus"
    echo "   corpus now $(ls "$corpus" | wc -l) inputs, $(du -sk --apparent-size "$corpus" | cut -f1) KB"
  fi
}

status=0
run dxf_reader_fuzz "$seeds/drawings" 8192 -dict="$here/dxf.dict" || status=1
run dxf_recovery_fuzz "$seeds/drawings" 8192 -dict="$here/dxf.dict" || status=1
run preview_reader_fuzz "$seeds/tails" 16384 -dict="$here/dxf.dict" || status=1
run dib_decoder_fuzz "$seeds/bitmaps" 8192 || status=1
run icon_decoder_fuzz "$seeds/bitmaps" 8192 || status=1
run script_line_fuzz "$seeds/scripts" 2048 -dict="$here/script.dict" || status=1
exit "$status"
