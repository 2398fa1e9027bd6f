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
cat large.srt large.sub long.sub "${batch[@]}" > /dev/null

# The sample settings (18 local characters, 4 replacements) and full tables
# (60 local characters, 100 replacements).
declare -A ini=([sample]=lexmend.ini [full]=full.ini)
declare -A wall peak command times
keys=()

# run KEY COMMAND...: a row of the tables. Every row is measured once per
# round, in turn, so that a stretch of time when the machine is busy slows
# all rows alike rather than the few measured then.
run() {
  local key=$1
  shift
  keys+=("$key")
  command[$key]=$(printf '%q ' "$@")
}

for f in large.srt large.sub; do
  run "copy $f" "$build/line_copy" "$f"
  run "bare $f" "$build/bare_staged_copy" "$f"
  run "bare2 $f" "$build/bare_staged_copy" --threads "$f"
  for s in sample full; do
    settings=(--settings "${ini[$s]}" -q)
    run "single $s $f" "$cli" "${settings[@]}" --all "$f"
    run "staged $s $f" "$cli" "${settings[@]}" --all --staged "$f"
    run "A $s $f" "$cli" "${settings[@]}" --no-replace-strings "$f"
    run "B $s $f" "$cli" "${settings[@]}" --no-local-chars "$f"
  done
  settings=(--settings lexmend.ini -q)
  run "none $f" "$cli" "${settings[@]}" --no-local-chars --no-replace-strings "$f"
  for pass in C:--remove-codes D:--delete-spaces E:--delete-blank F:--fix-srt-blank; do
    run "${pass%%:*} $f" "$cli" "${settings[@]}" --no-local-chars --no-replace-strings \
      "${pass#*:}" "$f"
  done
done
# Table size: the full tables cut short, on the same file.
for table in full_r1 full_r10 full_r50 full full_l10 stripping; do
  run "size $table" "$cli" --settings "$table.ini" -q --all large.srt
done
# Lines of 1 MiB: the full tables, and from-texts that are prefixes of one another.
run "copy long" "$build/line_copy" long.sub
run "full long" "$cli" --settings full.ini -q --all long.sub
run "prefixes long" "$cli" --settings prefixes.ini -q --all long.sub
run "copy batch" "$build/line_copy" "${batch[@]}"
for s in sample full; do
  run "j1 $s batch" "$cli" --settings "${ini[$s]}" -q --all -j 1 "${batch[@]}"
  run "jn $s batch" "$cli" --settings "${ini[$s]}" -q --all -j "$(nproc)" "${batch[@]}"
done

for ((round = 1; round <= repeats; round++)); do
  echo "Round $round of $repeats ..." >&2
  for key in "${keys[@]}"; do
    eval "set -- ${command[$key]}"
    read -r seconds _ _ kib _ < <("$build/measure" 1 "$@")
    times[$key]+="$seconds "
    if ((kib > ${peak[$key]:-0})); then peak[$key]=$kib; fi
  done
done
# The median wall time of each row, and the largest peak memory.
for key in "${keys[@]}"; do
  wall[$key]=$(tr ' ' '\n' <<< "${times[$key]}" | grep . | sort -n |
    awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }')
done

size() { stat -c %s "$1"; }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1e6 }'; }
rate() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.0f", b / 1e6 / s }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f×", a / b }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

srt=$(size large.srt)
sub=$(size large.sub)
long=$(size long.sub)
batch_bytes=$(cat "${batch[@]}" | wc -c)

echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)."
echo "Files: large.srt $(mb "$srt") MB SubRip, large.sub $(mb "$sub") MB MicroDVD (UTF-8,"
echo "Polish text); long.sub $(mb "$long") MB MicroDVD in lines of 1 MiB; batch:"
echo "${#batch[@]} SubRip files, $(mb "$batch_bytes") MB in all. Settings: sample (lexmend.ini,"
echo "18 local characters, 4 replacements) and full (full.ini, 60 local characters,"
echo "100 replacements). Median of $repeats rounds, wall clock; each round runs"
echo "every row once, in turn."
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
row "bare staged copy, A and B on two threads" bare2 copy
for s in sample full; do
  row "\`pellumar-cli --all\`, $s settings" "single $s" copy
done
for s in sample full; do
  row "\`pellumar-cli --all --staged\`, $s settings" "staged $s" copy
done
for s in sample full; do
  row "\`--all --staged\` against the bare staged copy, $s settings" "staged $s" bare
done
for s in sample full; do
  row "\`--all --staged\` against the bare staged copy on two threads, $s settings" \
    "staged $s" bare2
done
echo
echo "Each pass alone (single pass: one read of FILE, the pass, one write), MB/s:"
echo
echo "| pass | SubRip | MicroDVD |"
echo "|---|--:|--:|"
pass_row() {
  echo "| $1 | $(rate "$srt" "${wall[$2 large.srt]}") | $(rate "$sub" "${wall[$2 large.sub]}") |"
}
pass_row "none (encoding check and copy through the core)" none
pass_row "A substitute local characters, sample settings" "A sample"
pass_row "A substitute local characters, full settings" "A full"
pass_row "B search and replace strings, sample settings" "B sample"
pass_row "B search and replace strings, full settings" "B full"
pass_row "C remove formatting codes" C
pass_row "D delete redundant spaces (both steps)" D
pass_row "E delete blank lines (with kind detection)" E
pass_row "F fix SRT blank lines (with kind detection)" F
echo
echo "Table size: \`--all\` on large.srt with the full tables cut short:"
echo
echo "| tables | s | against the copy | against 1 replacement |"
echo "|---|--:|--:|--:|"
size_row() {
  echo "| $1 | ${wall[size $2]} | $(ratio "${wall[size $2]}" "${wall[copy large.srt]}") |" \
    "$(ratio "${wall[size $2]}" "${wall[size full_r1]}") |"
}
size_row "60 local characters, 1 replacement" full_r1
size_row "60 local characters, 10 replacements" full_r10
size_row "60 local characters, 50 replacements" full_r50
size_row "60 local characters, 100 replacements" full
size_row "10 local characters, 100 replacements" full_l10
echo
echo "Tables that undo each other (stripping.ini: the 60 local characters take the"
echo "Polish letters down to ASCII, and the 100 replacements put back the diacritics"
echo "of the words they know), so each such word is replaced twice."
echo
echo "| tables | s | against the copy | against full settings |"
echo "|---|--:|--:|--:|"
echo "| 60 stripping local characters, 100 replacements | ${wall[size stripping]} |" \
  "$(ratio "${wall[size stripping]}" "${wall[copy large.srt]}") |" \
  "$(ratio "${wall[size stripping]}" "${wall[size full]}") |"
echo
echo "Lines of 1 MiB (long.sub), \`--all\`:"
echo
echo "| run | s | MB/s | ratio | peak MiB |"
echo "|---|--:|--:|--:|--:|"
long_row() {
  echo "| $1 | ${wall[$2 long]} | $(rate "$long" "${wall[$2 long]}") |" \
    "$(ratio "${wall[$2 long]}" "${wall[copy long]}") | $(mib "${peak[$2 long]}") |"
}
long_row "one-pass line copy" copy
long_row "full settings" full
long_row "100 from-texts that are prefixes of one another" prefixes
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
for s in sample full; do
  batch_row "\`pellumar-cli --all -j 1\`, $s settings" "j1 $s"
  batch_row "\`pellumar-cli --all -j $(nproc)\`, $s settings" "jn $s"
done
