#!/usr/bin/env bash
# Prints the performance table: every row measured in this run, on the same
# files. Run by `make bench`; BUILD holds the release build and the corpus.
#
#   bench/run_bench.sh BUILD [REPEATS]
set -euo pipefail

build=$(cd "$1" && pwd)
repeats=${2:-5}
corpus=$build/corpus
cli=$build/pellumar-cli
measure="$build/measure $repeats"
# The corpus is made again whenever the generator changes.
stamp=$(cksum < "$build/make_corpus" | cut -d' ' -f1)

if [ "$(cat "$corpus/.stamp" 2>/dev/null)" != "$stamp" ]; then
  echo "Writing the corpus to $corpus ..." >&2
  rm -rf "$corpus"
  "$build/make_corpus" "$corpus"
  echo "$stamp" > "$corpus/.stamp"
fi
cd "$corpus"
batch=(batch/[0-9][0-9][0-9][0-9][0-9].srt)
# Read everything once, so that every row starts from the page cache.
cat large.srt large.sub "${batch[@]}" > /dev/null

settings=(--settings lexmend.ini -q)
declare -A wall peak

# run KEY COMMAND...: the median wall time and the peak memory of COMMAND.
run() {
  local key=$1
  shift
  echo "  $key" >&2
  read -r median _ _ kib _ < <($measure "$@")
  wall[$key]=$median
  peak[$key]=$kib
}

for f in large.srt large.sub; do
  run "copy $f" "$build/line_copy" "$f"
  run "bare $f" "$build/bare_staged_copy" "$f"
  run "single $f" "$cli" "${settings[@]}" --all "$f"
  run "staged $f" "$cli" "${settings[@]}" --all --staged "$f"
  run "none $f" "$cli" "${settings[@]}" --no-local-chars --no-replace-strings "$f"
  run "A $f" "$cli" "${settings[@]}" --no-replace-strings "$f"
  run "B $f" "$cli" "${settings[@]}" --no-local-chars "$f"
  for pass in C:--remove-codes D:--delete-spaces E:--delete-blank F:--fix-srt-blank; do
    run "${pass%%:*} $f" "$cli" "${settings[@]}" --no-local-chars --no-replace-strings \
      "${pass#*:}" "$f"
  done
done
run "copy batch" "$build/line_copy" "${batch[@]}"
run "j1 batch" "$cli" "${settings[@]}" --all -j 1 "${batch[@]}"
run "jn batch" "$cli" "${settings[@]}" --all -j "$(nproc)" "${batch[@]}"

size() { stat -c %s "$1"; }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1e6 }'; }
rate() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.0f", b / 1e6 / s }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f×", a / b }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

srt=$(size large.srt)
sub=$(size large.sub)
batch_bytes=$(cat "${batch[@]}" | wc -c)

echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)."
echo "Files: large.srt $(mb "$srt") MB SubRip, large.sub $(mb "$sub") MB MicroDVD (UTF-8,"
echo "Polish text), lexmend.ini with 18 local characters and 4 replacements; batch:"
echo "${#batch[@]} SubRip files, $(mb "$batch_bytes") MB in all. Median of $repeats runs, wall clock."
echo
echo "| run | SubRip s | MB/s | ratio | peak MiB | MicroDVD s | MB/s | ratio | peak MiB |"
echo "|---|--:|--:|--:|--:|--:|--:|--:|--:|"
row() {
  local name=$1 key=$2 base=$3 line="| $1 |"
  for f in large.srt large.sub; do
    local bytes=$srt
    [ "$f" = large.sub ] && bytes=$sub
    line+=" ${wall[$key $f]} | $(rate "$bytes" "${wall[$key $f]}") |"
    line+=" $(ratio "${wall[$key $f]}" "${wall[$base $f]}") | $(mib "${peak[$key $f]}") |"
  done
  echo "$line"
}
row "one-pass line copy" copy copy
row "bare staged copy" bare copy
row "\`pellumar-cli --all\`" single copy
row "\`pellumar-cli --all --staged\`" staged copy
row "\`--all --staged\` against the bare staged copy" staged bare
echo
echo "Each pass alone (single pass: one read of FILE, the pass, one write), MB/s:"
echo
echo "| pass | SubRip | MicroDVD |"
echo "|---|--:|--:|"
pass_row() {
  echo "| $1 | $(rate "$srt" "${wall[$2 large.srt]}") | $(rate "$sub" "${wall[$2 large.sub]}") |"
}
pass_row "none (encoding check and copy through the core)" none
pass_row "A substitute local characters" A
pass_row "B search and replace strings" B
pass_row "C remove formatting codes" C
pass_row "D delete redundant spaces (both steps)" D
pass_row "E delete blank lines (with kind detection)" E
pass_row "F fix SRT blank lines (with kind detection)" F
echo
files=${#batch[@]}
echo "Batch, $files files in one call:"
echo
echo "| run | s | files/s | ratio |"
echo "|---|--:|--:|--:|"
batch_row() {
  echo "| $1 | ${wall[$2 batch]} | $(rate "$((files * 1000000))" "${wall[$2 batch]}") |" \
    "$(ratio "${wall[$2 batch]}" "${wall[copy batch]}") |"
}
batch_row "one-pass line copy" copy
batch_row "\`pellumar-cli --all -j 1\`" j1
batch_row "\`pellumar-cli --all -j $(nproc)\`" jn
