#!/usr/bin/env bash
# bench/run.sh [--runs N] [--rounds R] [--tool PATH]: times the dump of the dense benchmark images against the
# I/O floor, for each table (full, mixed, empty) and string density (1x, 2x, 4x), and CHECK_SCRIPT on
# each fresh script against the dump, and UPDATE_TEXT against the dump on one image.
#
# Builds a Release tree in build-bench/ (the preset "bench"), makes each image with
# make_sample_image --dense, checks one dump of it, then times with hyperfine: the dump, the check
# of the script it wrote (check), the I/O floor linked like the tool (io_floor) and the same floor
# linked dynamically (io_floor_dynamic). The runs are split into R rounds whose order alternates,
# so that neither side always runs first; the medians are taken over all runs. Page faults and
# peak resident memory come from /usr/bin/time. The summary table goes to
# build-bench/bench-results.md; each round's hyperfine export lies beside its image in
# build-bench/bench-data/. --tool times another build of textdump (an older one, say)
# on the same images and against the same floors.
set -euo pipefail

runs=30
rounds=5
other_tool=
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --tool) other_tool=$(realpath "$2"); shift 2 ;;
    *) echo "usage: bench/run.sh [--runs N] [--rounds R] [--tool PATH]" >&2; exit 2 ;;
  esac
done
cd "$(dirname "$0")/.."
per_round=$(( (runs + rounds - 1) / rounds ))
[ "$per_round" -ge 2 ] || per_round=2
command -v hyperfine >/dev/null || { echo "bench/run.sh needs hyperfine (apt-get install hyperfine)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "bench/run.sh needs /usr/bin/time (apt-get install time)" >&2; exit 2; }

build=$PWD/build-bench  # the preset "bench"
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
tool=${other_tool:-$build/src/textdump}
floor=$build/bench/io_floor
floor_dynamic=$build/bench/io_floor_dynamic

# Median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

data=$build/bench-data
rm -rf "$data"
for table in full mixed empty; do
  for density in 1 2 4; do
    dir=$data/$table-${density}x
    "$build/tools/make_sample_image" --dense "$density" --table "$table" "$dir" >/dev/null
    cd "$dir"
    # One checked dump: every block dumped, no warning. Its script's size is the floor's.
    "$tool" DUMP_TEXT sample.rom >console.txt
    if [ "$(grep -c '^\[FILE\]' console.txt)" -ne 304 ] || grep -q FAIL-SAFE console.txt; then
      echo "the dump of $table-${density}x is not what the image holds" >&2
      exit 1
    fi
    size=$(stat -c %s text/script.txt)
    dump_cmd="$tool DUMP_TEXT sample.rom"
    # A fresh script: it may still hold strings the table does not give back (exit status 1).
    check_cmd="$tool CHECK_SCRIPT sample.rom"
    "$tool" CHECK_SCRIPT sample.rom | tail -n 1 >check-summary.txt || true
    # The floors write a file of the script's size beside it, so that the check, whichever
    # round order, reads the dump's script.
    # They read the old script, as the dump does, and write their original beside it too.
    floor_cmd="$floor sample.rom text/script.txt text/floor.orig text/floor.txt $size window_loads.txt"
    floor_dynamic_cmd="$floor_dynamic sample.rom text/script.txt text/floor.orig text/floor.txt $size window_loads.txt"
    for round in $(seq 1 "$rounds"); do
      if [ $((round % 2)) -eq 1 ]; then
        order=(-n dump "$dump_cmd" -n check "$check_cmd" -n floor "$floor_cmd"
          -n floor_dynamic "$floor_dynamic_cmd")
      else
        order=(-n floor_dynamic "$floor_dynamic_cmd" -n floor "$floor_cmd" -n check "$check_cmd"
          -n dump "$dump_cmd")
      fi
      hyperfine -N -i --style none --warmup 2 --runs "$per_round" \
        --export-json "round-$round.json" --export-markdown "round-$round.md" "${order[@]}" >/dev/null
    done
    # Page faults and peak resident KiB: medians of five runs each.
    for what in dump floor; do
      cmd=$dump_cmd
      [ "$what" = floor ] && cmd=$floor_cmd
      for _ in 1 2 3 4 5; do /usr/bin/time -f '%R %M' -o "time-$what.txt" -a $cmd >/dev/null; done
      awk '{ print $1 }' "time-$what.txt" | median >"faults-$what.txt"
      awk '{ print $2 }' "time-$what.txt" | median >"rss-$what.txt"
    done
    echo "$size" >script-bytes.txt
    echo "$table ${density}x done" >&2
    cd - >/dev/null
  done
done

# UPDATE_TEXT on the mixed 4x image: its script dumped with a table that lacks every third
# entry, then brought up to date with the whole table; against DUMP_TEXT on the same image.
# Before each run the older script is put back, so that every update has the same work.
dir=$data/update-mixed-4x
"$build/tools/make_sample_image" --dense 4 --table mixed "$dir" >/dev/null
cd "$dir"
cp table/table_dump.txt whole_table.txt
awk '/^[0-9A-Fa-f]+=/ { if (++n % 3 == 0) next } { print }' whole_table.txt >table/table_dump.txt
"$tool" DUMP_TEXT sample.rom >/dev/null
cp text/script.txt older_script.txt
cp whole_table.txt table/table_dump.txt
"$tool" UPDATE_TEXT sample.rom | tail -n 1 >update-summary.txt || true
hyperfine -N -i --style none --warmup 2 --runs "$runs" --prepare "cp older_script.txt text/script.txt" \
  --export-json update.json -n dump "$tool DUMP_TEXT sample.rom" \
  -n update "$tool UPDATE_TEXT sample.rom" >/dev/null
cp older_script.txt text/script.txt
/usr/bin/time -f '%M' -o rss-update.txt "$tool" UPDATE_TEXT sample.rom >/dev/null || true
echo "update done" >&2
cd - >/dev/null

python3 bench/summarise.py "$data" >"$build/bench-results.md"
cat "$build/bench-results.md"
