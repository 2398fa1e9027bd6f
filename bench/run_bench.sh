#!/usr/bin/env bash
# Prints the performance table of the README: every row measured in this
# run, on the same files. Run by `make bench`; BUILD holds the release build
# and the corpus. With BASELINE set to another build's pellumar-cli, its
# rows are measured in the same rounds, for a side-by-side comparison.
#
#   bench/run_bench.sh BUILD [REPEATS]
set -euo pipefail

build=$(cd "$1" && pwd)
repeats=${2:-5}
corpus=$build/corpus
cli=$build/pellumar-cli
baseline=${BASELINE:-}
# The corpus is made again whenever the generator changes.
stamp=$(cksum < "$build/make_corpus" | cut -d' ' -f1)

if [ "$(cat "$corpus/.stamp" 2>/dev/null)" != "$stamp" ]; then
  echo "Writing the corpus to $corpus ..." >&2
  rm -rf "$corpus"
  "$build/make_corpus" "$corpus"
  echo "$stamp" > "$corpus/.stamp"
fi
cd "$corpus"
# The same files in windows-1250, and settings that name no page: the page is
# guessed for each file, as it is for every legacy file by default.
if [ ! -d legacy ]; then
  mkdir -p legacy/batch
  for f in large.srt large.sub batch/[0-9][0-9][0-9][0-9][0-9].srt; do
    iconv -c -f UTF-8 -t WINDOWS-1250 "$f" > "legacy/$f"
  done
  grep -iv '^codepage=' lexmend.ini > legacy/guess.ini
fi
batch=(batch/[0-9][0-9][0-9][0-9][0-9].srt)
# Read everything once, so that every row starts from the page cache.
cat large.srt large.sub "${batch[@]}" legacy/large.* "${batch[@]/#/legacy/}" > /dev/null

declare -A peak command times wall
keys=()
# run KEY COMMAND...: one measurement of the table. Every one is made once
# per round, so that a stretch of time when the machine is busy slows all
# rows alike rather than the few measured then.
run() {
  local key=$1
  shift
  keys+=("$key")
  command[$key]=$(printf '%q ' "$@")
}

# The rows: a name, and the command before the files.
names=("one-pass line copy (the yardstick)"
  "\`pellumar-cli --all -j 1\`, sample settings"
  "\`pellumar-cli --all -j 1\`, full settings"
  "\`pellumar-cli --all -j $(nproc)\`, full settings"
  "\`pellumar-cli --all --staged -j 1\`, full settings"
  "\`pellumar-cli --all -j 1\`, sample settings, windows-1250 files, page guessed")
commands=("$build/line_copy"
  "$cli -q --settings lexmend.ini --all -j 1"
  "$cli -q --settings full.ini --all -j 1"
  "$cli -q --settings full.ini --all -j $(nproc)"
  "$cli -q --settings full.ini --all --staged -j 1"
  "$cli -q --settings legacy/guess.ini --all -j 1")
# The folder each row's files are in
folders=(. . . . . legacy)
if [ -n "$baseline" ]; then
  names+=("baseline \`--all -j 1\`, sample settings" "baseline \`--all -j 1\`, full settings"
    "baseline \`--all -j 1\`, sample settings, windows-1250 files, page guessed")
  commands+=("$baseline -q --settings lexmend.ini --all -j 1"
    "$baseline -q --settings full.ini --all -j 1"
    "$baseline -q --settings legacy/guess.ini --all -j 1")
  folders+=(. . legacy)
fi
# Several jobs only tell on many files: that row has no single-file figures.
many_jobs=3
for i in "${!names[@]}"; do
  read -ra words <<< "${commands[$i]}"
  folder=${folders[$i]}
  if ((i != many_jobs)); then
    run "$i srt" "${words[@]}" "$folder/large.srt"
    run "$i sub" "${words[@]}" "$folder/large.sub"
  fi
  run "$i batch" "${words[@]}" "${batch[@]/#/$folder/}"
done

for ((round = 1; round <= repeats; round++)); do
  echo "Round $round of $repeats ..." >&2
  # In a new order each round: what the machine does after a batch (writing
  # back its outputs, say) must not always fall on the same row.
  mapfile -t order < <(printf '%s\n' "${keys[@]}" | shuf)
  for key in "${order[@]}"; do
    eval "set -- ${command[$key]}"
    read -r seconds _ _ kib _ < <("$build/measure" 1 "$@")
    times[$key]+="$seconds "
    if ((kib > ${peak[$key]:-0})); then peak[$key]=$kib; fi
  done
done
# The median wall time of each measurement, and the largest peak memory.
for key in "${keys[@]}"; do
  wall[$key]=$(tr ' ' '\n' <<< "${times[$key]}" | grep . | sort -n |
    awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }')
done

mb() { awk -v b="$1" 'BEGIN { printf "%.0f", b / 1e6 }'; }
rate() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.0f", b / s }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
srt=$(stat -c %s large.srt)
sub=$(stat -c %s large.sub)
files=${#batch[@]}
batch_kb=$(($(cat "${batch[@]}" | wc -c) / files / 1000))

echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)."
echo "Median of $repeats rounds, wall clock, files in the page cache."
echo
echo "| run | SubRip, $(mb "$srt") MB | MicroDVD, $(mb "$sub") MB |" \
  "$files SubRip files of $batch_kb KB | peak memory |"
echo "|---|--:|--:|--:|--:|"
cell() { if [ -n "${wall[$1]:-}" ]; then echo "${wall[$1]} s"; else echo "—"; fi; }
for i in "${!names[@]}"; do
  most=0
  for f in srt sub batch; do
    if ((${peak[$i $f]:-0} > most)); then most=${peak[$i $f]}; fi
  done
  echo "| ${names[$i]} | $(cell "$i srt") | $(cell "$i sub") |" \
    "${wall[$i batch]} s ($(rate "$files" "${wall[$i batch]}") files/s) | $(mib "$most") MiB |"
done
