#!/usr/bin/env bash
# Compares `rinvo copy` with cp and rsync on generated trees, interleaved in the same run,
# and prints medians and ratios as a Markdown table.
#   bench/run.sh                 all scenarios, 5 rounds each
#   ROUNDS=9 bench/run.sh        more rounds
#   bench/run.sh same touched    only the named scenarios (first, large, disk, same, touched,
#                                cold, coldtouched, wide, share)
#   SHARE_ROUNDS=3 bench/run.sh share   more rounds on the network share (default 1: a round of
#                                the three tools takes about six minutes there)
# The cold scenarios drop the page cache before every timed run (a backup drive just plugged in,
# a tree not read since yesterday); they need root and are skipped with a note otherwise.
# Source trees live in RINVO_BENCH_DIR (default /var/tmp/rinvo-bench, on the disk); first copies
# go to RINVO_BENCH_TMPFS (default /dev/shm/rinvo-bench, a tmpfs), so that ext4's slowdown after
# mass deletion does not skew them.
# The share scenario backs up 5,000 small files to an sshfs mount of a private SSH server on
# 127.0.0.1, through a relay that holds each chunk 0.5 ms each way (a 1 ms round trip); the
# share is mounted afresh before every timed run. It needs root, FUSE and sshd, and is skipped
# with a note otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --bench
RINVO_BUILD_TYPE=Release scripts/build.sh build-release -DRINVO_BUILD_TESTS=OFF >/dev/null

rinvo="$PWD/build-release/src/rinvo"
maketree="$PWD/build-release/bench/rinvo_make_tree"
work="${RINVO_BENCH_DIR:-/var/tmp/rinvo-bench}"
tmpfs="${RINVO_BENCH_TMPFS:-/dev/shm/rinvo-bench}"
rounds="${ROUNDS:-5}"
mkdir -p "$work" "$tmpfs"

for kind in small mixed wide share; do
  if [ ! -f "$work/$kind.done" ]; then
    echo "generating the $kind tree in $work/$kind ..." >&2
    rm -rf "${work:?}/$kind"
    "$maketree" "$kind" "$work/$kind"
    touch "$work/$kind.done"
  fi
done
small="$work/small"
mixed="$work/mixed"
small_files=$(find "$small" -type f | wc -l)
wide="$work/wide"
scenarios="${*:-first large disk same touched cold coldtouched wide share}"
wanted() { [[ " $scenarios " == *" $1 "* ]]; }

# Whether the page cache can be dropped before a run.
can_drop_caches() { [ "$(id -u)" -eq 0 ] && [ -w /proc/sys/vm/drop_caches ]; }
cold=0

# Prints the wall time of a command in microseconds. Dirty pages of the previous run are written
# out first, so no run pays for another's writeback; in a cold scenario the page cache is dropped
# too, so every tool reads the trees from the disk.
elapsed() {
  local start end
  sync
  if [ "$cold" = 1 ]; then echo 3 >/proc/sys/vm/drop_caches; fi
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
seconds() { awk -v us="$1" 'BEGIN { printf "%.3f", us / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

declare -A samples
record() { samples["$1"]+="$2 "; }
med() { tr ' ' '\n' <<<"${samples[$1]}" | grep -v '^$' | median; }

# Warm the page cache for both trees.
find "$small" "$mixed" -type f -print0 | xargs -0 cat >/dev/null

# First copies of one tree to the tmpfs, each tool in turn: first_copies KEY TREE DESCRIPTION
first_copies() {
  local key=$1 tree=$2
  wanted "$key" || return 0
  echo "first copy of the $3 to tmpfs ..." >&2
  for ((r = 0; r < rounds; r++)); do
    rm -rf "$tmpfs/dst"; record "${key}_rinvo" "$(elapsed "$rinvo" copy "$tree" "$tmpfs/dst")"
    rm -rf "$tmpfs/dst"; record "${key}_cp" "$(elapsed cp -r --preserve=timestamps "$tree" "$tmpfs/dst")"
    rm -rf "$tmpfs/dst"; record "${key}_rsync" "$(elapsed rsync -rt "$tree/" "$tmpfs/dst/")"
  done
  rm -rf "$tmpfs/dst"
}
first_copies first "$small" "small-file tree"
first_copies large "$mixed" "mixed tree (1 GiB, large files)"

# First copies of the small-file tree onto the disk, made durable: a backup is done only once it
# is on the device, so each peer is followed by sync; rinvo flushes by itself. Then the flushes
# rinvo makes per copied file, counted by strace.
if wanted disk; then
  echo "first copy of the small-file tree to the disk ..." >&2
  on_disk="$work/disk-copy"
  for ((r = 0; r < rounds; r++)); do
    rm -rf "$on_disk"; record disk_rinvo "$(elapsed "$rinvo" copy "$small" "$on_disk")"
    rm -rf "$on_disk"
    record disk_cp "$(elapsed sh -c 'cp -r --preserve=timestamps "$1" "$2" && sync' sh "$small" "$on_disk")"
    rm -rf "$on_disk"; record disk_rsync "$(elapsed sh -c 'rsync -rt "$1/" "$2/" && sync' sh "$small" "$on_disk")"
  done
  rm -rf "$on_disk"
  disk_flushes=$(strace -f -c -e trace=fsync,fdatasync,syncfs,sync "$rinvo" copy "$small" "$on_disk" 2>&1 >/dev/null \
    | awk '$NF == "total" { print $(NF - 1) }')
  rm -rf "$on_disk"
fi

dst="$work/small-backup"
if [ ! -f "$dst.done" ]; then
  rm -rf "$dst"
  "$rinvo" copy "$small" "$dst" >/dev/null
  touch "$dst.done"
fi
# The index of each rinvo run lives in a cache of the benchmark's own. Runs that use the index
# keep a destination of their own: cp and rsync set the times of every folder they pass, which
# rightly makes the index distrust the shared destination's folders.
export XDG_CACHE_HOME="$work/cache-shared"
indexed_dst="$work/small-indexed"
rinvo_indexed() { XDG_CACHE_HOME="$work/cache-indexed" "$rinvo" copy "$small" "$indexed_dst"; }
if wanted same || wanted touched || wanted cold || wanted coldtouched; then
  rm -rf "$indexed_dst" "$work/cache-indexed"
  rinvo_indexed >/dev/null
  # A folder changed in the last two seconds is listed again next time, not kept.
  sleep 2.1
  rinvo_indexed >/dev/null
fi
find "$small" -type f | sort | awk 'NR % 100 == 0' >"$work/touched.txt"
stamp=$(date +%s)
touch_some() { stamp=$((stamp + 10)); xargs -a "$work/touched.txt" -d '\n' touch -m -d "@$stamp"; }
# Interleaved re-runs of the three tools: rerun_rounds KEY DESCRIPTION [touch_some]; with the
# third argument, 1% of the files are touched before each tool's run.
rerun_rounds() {
  local key=$1 before=${3:-true}
  wanted "$key" || return 0
  echo "$2 ..." >&2
  for ((r = 0; r < rounds; r++)); do
    $before; record "${key}_rinvo" "$(elapsed "$rinvo" copy "$small" "$dst")"
    $before; record "${key}_cp" "$(elapsed cp -ru --preserve=timestamps "$small/." "$dst/")"
    $before; record "${key}_rsync" "$(elapsed rsync -rtu "$small/" "$dst/")"
    $before; record "${key}_indexed" "$(elapsed rinvo_indexed)"
  done
}
rerun_rounds same "re-runs with nothing changed"
rerun_rounds touched "re-runs after touching 1% of the files" touch_some

# The same two re-runs with the page cache dropped before every timed run.
cold_note=""
if (wanted cold || wanted coldtouched) && ! can_drop_caches; then
  cold_note="(cold scenarios skipped: dropping the page cache needs root)"
  echo "$cold_note" >&2
elif wanted cold || wanted coldtouched; then
  cold=1
  rerun_rounds cold "cold re-runs with nothing changed"
  rerun_rounds coldtouched "cold re-runs after touching 1% of the files" touch_some
  cold=0
  # Warm the cache again for what follows.
  find "$small" -type f -print0 | xargs -0 cat >/dev/null
fi

# System calls are counted by perf where the kernel lets it (strace slows the two threads unevenly
# and so inflates the count of their hand-overs), else by strace.
calls=$(perf stat -x, -e raw_syscalls:sys_enter "$rinvo" copy "$small" "$dst" 2>&1 >/dev/null | awk -F, '/raw_syscalls/ { print $1 }')
counter=perf
if ! [[ "$calls" =~ ^[0-9]+$ ]]; then
  calls=$(strace -f -c -o /dev/stdout "$rinvo" copy "$small" "$dst" 2>/dev/null | awk '$NF == "total" { print $(NF-2) }')
  counter=strace
fi
peak_kib=$(/usr/bin/time -f %M "$rinvo" copy "$small" "$dst" 2>&1 >/dev/null | tail -1)

# Peak memory on one folder of 200,000 empty files, first copy and re-run, for each tool.
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
if wanted wide; then
  echo "peak memory on the 200,000-entry folder ..." >&2
  for tool in rinvo cp rsync; do
    rm -rf "$tmpfs/wide"
    case $tool in
      rinvo) first=$(peak "$rinvo" copy "$wide" "$tmpfs/wide"); again=$(peak "$rinvo" copy "$wide" "$tmpfs/wide") ;;
      cp) first=$(peak cp -r --preserve=timestamps "$wide" "$tmpfs/wide")
          again=$(peak cp -ru --preserve=timestamps "$wide/." "$tmpfs/wide/") ;;
      rsync) first=$(peak rsync -rt "$wide/" "$tmpfs/wide/"); again=$(peak rsync -rtu "$wide/" "$tmpfs/wide/") ;;
    esac
    samples["wide_first_$tool"]=$first
    samples["wide_again_$tool"]=$again
  done
  rm -rf "$tmpfs/wide"
fi

# Peak memory of rinvo's first copy and re-run of the large trees.
declare -A rinvo_peaks
if wanted first || wanted large; then
  rm -rf "$tmpfs/dst"; rinvo_peaks[first]=$(peak "$rinvo" copy "$small" "$tmpfs/dst")
  rm -rf "$tmpfs/dst"; rinvo_peaks[large]=$(peak "$rinvo" copy "$mixed" "$tmpfs/dst")
  rm -rf "$tmpfs/dst"
fi

# The network share: first copies and re-runs of the share tree, each run on a fresh mount.
share_note=""
if wanted share; then
  source bench/share.sh
  if ! share_possible; then
    share_note="(share scenario skipped: it needs root, /dev/fuse, sshd and sshfs)"
    echo "$share_note" >&2
  else
    echo "network share with a 1 ms round trip ..." >&2
    served="$work/share-server/served"
    mnt="$work/share-mount"
    share_start "$work/share-server" "$PWD/build-release/bench/rinvo_delay_relay" 500
    trap share_stop EXIT
    mkdir -p "$served"
    share_src="$work/share"
    # Each timed run starts on a fresh mount, empty (first copies) or holding the full copy.
    fresh() { rm -rf "$served/dst"; share_mount "$served" "$mnt"; }
    filled() {
      [ -d "$served/dst" ] || cp -r --preserve=timestamps "$share_src" "$served/dst"
      share_mount "$served" "$mnt"
    }
    for ((r = 0; r < ${SHARE_ROUNDS:-1}; r++)); do
      fresh; record share_first_rinvo "$(elapsed "$rinvo" copy "$share_src" "$mnt/dst")"
      fresh; record share_first_cp "$(elapsed cp -r --preserve=timestamps "$share_src" "$mnt/dst")"
      fresh; record share_first_rsync "$(elapsed rsync -rt "$share_src/" "$mnt/dst/")"
      rm -rf "$served/dst"
      filled; record share_again_rinvo "$(elapsed "$rinvo" copy "$share_src" "$mnt/dst")"
      filled; record share_again_cp "$(elapsed cp -ru --preserve=timestamps "$share_src/." "$mnt/dst/")"
      filled; record share_again_rsync "$(elapsed rsync -rtu "$share_src/" "$mnt/dst/")"
    done
    fresh
    rinvo_peaks[share]=$(peak "$rinvo" copy "$share_src" "$mnt/dst")
    share_stop
    trap - EXIT
  fi
fi

row() {
  local label=$1 key=$2 peer1=$3 peer2=$4 own=${5:-rinvo}
  [ -n "${samples[${key}_$own]:-}" ] || return 0
  local r=$(med "${key}_$own") a=$(med "${key}_$peer1") b=$(med "${key}_$peer2")
  printf '| %s | %s | %s | %s | %s | %s |\n' "$label" "$(seconds "$r")" "$(seconds "$a")" "$(seconds "$b")" \
    "$(ratio "$r" "$a")" "$(ratio "$r" "$b")"
}

echo
echo "Medians of $rounds interleaved rounds, warm cache, $small_files small files; $(nproc) cores."
echo
echo "| scenario | rinvo s | cp s | rsync s | rinvo / cp | rinvo / rsync |"
echo "|---|---|---|---|---|---|"
row "first copy, small files, to tmpfs" first cp rsync
row "first copy, 1 GiB mixed tree, to tmpfs" large cp rsync
row "first copy, small files, to the disk, then sync" disk cp rsync
row "re-run, nothing changed" same cp rsync
row "re-run, nothing changed, with the index" same cp rsync indexed
row "re-run, 1% touched" touched cp rsync
row "re-run, 1% touched, with the index" touched cp rsync indexed
[ -z "$cold_note" ] && row "re-run, nothing changed, cold cache" cold cp rsync
[ -z "$cold_note" ] && row "re-run, nothing changed, cold cache, with the index" cold cp rsync indexed
[ -z "$cold_note" ] && row "re-run, 1% touched, cold cache" coldtouched cp rsync
[ -z "$cold_note" ] && row "re-run, 1% touched, cold cache, with the index" coldtouched cp rsync indexed
[ -n "$cold_note" ] && echo && echo "$cold_note"
if wanted share && [ -z "$share_note" ]; then
  echo
  echo "Network share (sshfs, 1 ms round trip), 5,000 files of 1 to 8 KiB in 100 folders; medians of ${SHARE_ROUNDS:-1} round(s):"
  echo
  echo "| scenario | rinvo s | cp s | rsync s | rinvo / cp | rinvo / rsync |"
  echo "|---|---|---|---|---|---|"
  row "first copy to the share" share_first cp rsync
  row "re-run, nothing changed" share_again cp rsync
fi
[ -n "$share_note" ] && echo && echo "$share_note"
if wanted same; then
  echo
  echo "The kernel's part of a re-run alone: every file of the tree and of its backup looked up"
  echo "(io_uring measured as the alternative to threads):"
  echo
  "$PWD/build-release/bench/rinvo_stat_batch" "$small" "$dst"
fi
echo
if wanted disk; then
  echo "flushes per copied file on the disk: $(awk -v f="$disk_flushes" -v n="$small_files" 'BEGIN { printf "%.4f", f / n }') ($disk_flushes for $small_files files)"
fi
echo "re-run system calls per file: $(ratio "$calls" "$small_files") ($calls calls for $small_files files, counted by $counter)"
if wanted same; then
  # The fourth column of strace's total line is the number of calls, with or without errors.
  lookups=$(XDG_CACHE_HOME="$work/cache-indexed" strace -f -c -e trace=newfstatat,statx,fstat,lstat,stat \
    "$rinvo" copy "$small" "$indexed_dst" 2>&1 >/dev/null | awk '$NF == "total" { print $4 }')
  echo "re-run look-ups per file with the index: $(ratio "$lookups" "$small_files") ($lookups for $small_files files, counted by strace)"
fi
echo "re-run peak memory: $((peak_kib / 1024)) MiB"
for key in first large share; do
  [ -n "${rinvo_peaks[$key]:-}" ] && echo "peak memory of rinvo's first copy ($key): $((rinvo_peaks[$key] / 1024)) MiB"
done
if wanted wide; then
  mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
  echo
  echo "Peak memory (MiB) on one folder of 200,000 empty files, to tmpfs:"
  echo
  echo "| run | rinvo | cp | rsync |"
  echo "|---|---|---|---|"
  for run in first again; do
    label=$([ $run = first ] && echo "first copy" || echo "re-run")
    echo "| $label | $(mib "${samples[wide_${run}_rinvo]}") | $(mib "${samples[wide_${run}_cp]}") | $(mib "${samples[wide_${run}_rsync]}") |"
  done
fi
echo
echo "cp runs as 'cp -r --preserve=timestamps' for first copies and 'cp -ru --preserve=timestamps' for"
echo "re-runs; rsync as 'rsync -rt' and 'rsync -rtu'."
