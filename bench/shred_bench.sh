#!/usr/bin/env bash
# Shred throughput on the local disk, beside GNU shred and the disk's limit.
#   bench/shred_bench.sh [FOLDER] [MIB] [RUNS]
# FOLDER (default: build/bench-data) must be on the file system to measure;
# MIB is the file size (default 512); every figure is the best of RUNS runs
# (default 3), each on a freshly written file with cold caches.
# Prints MB/s of pass bytes reaching the disk (passes x size / wall time,
# every pass flushed) for the engine alone and for the whole job as a user
# runs it (quenlo-cli shred, which also renames and deletes the file, beside
# shred -u, which does too), the ratio to GNU shred with the same number of passes
# and to the disk's limit (the better of dd overwriting the file in place with
# 1 MiB and with 16 KiB blocks, fdatasync at the end), and the CPU seconds
# spent per GiB written.
set -euo pipefail
cd "$(dirname "$0")/.."

folder=${1:-build/bench-data}
mib=${2:-512}
runs=${3:-3}
mkdir -p "$folder"
file="$folder/bench.bin"

cmake --preset default >/dev/null
cmake --build --preset default --target quenlo_shred_bench quenlo-cli >/dev/null
bench=build/default/bench/quenlo_shred_bench
cli=build/default/app/cli/quenlo-cli
# The command-line tool reads its settings from a store of the benchmark's own.
export QUENLO_REGISTRY="$(realpath "$folder")/bench-registry.sqlite3"

drop_caches() { sync; echo 3 >/proc/sys/vm/drop_caches 2>/dev/null || true; }

fresh_file() {
    head -c "${mib}M" /dev/urandom >"$file"
    drop_caches
}

# Best of $runs: prints "wall cpu" in seconds of the fastest run of "$@",
# each on a fresh file.
best() {
    local TIMEFORMAT='%R %U %S' best_wall="" best_cpu="" out wall cpu
    for ((i = 0; i < runs; i++)); do
        fresh_file
        out=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
        read -r wall cpu < <(awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<<"$out")
        if [ -z "$best_wall" ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then
            best_wall=$wall best_cpu=$cpu
        fi
    done
    echo "$best_wall $best_cpu"
}

mbps() { awk -v p="$1" -v m="$mib" -v w="$2" 'BEGIN { printf "%.1f", p * m * 1.048576 / w }'; }
cpu_per_gib() { awk -v p="$1" -v m="$mib" -v c="$2" 'BEGIN { printf "%.3f", c / (p * m / 1024) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
row() { printf "%-30s %8s MB/s   cpu %s s/GiB\n" "$1" "$2" "$3"; }

echo "File system of $folder: $(df -T "$folder" | awk 'NR==2 { print $2 " on " $1 }'); file ${mib} MiB; best of $runs"

read -r w c < <(best dd if=/dev/zero of="$file" bs=1M count="$mib" conv=notrunc,fdatasync)
dd1m=$(mbps 1 "$w"); row "dd bs=1M overwrite" "$dd1m" "$(cpu_per_gib 1 "$c")"
read -r w c < <(best dd if=/dev/zero of="$file" bs=16K count=$((mib * 64)) conv=notrunc,fdatasync)
dd16k=$(mbps 1 "$w"); row "dd bs=16K overwrite" "$dd16k" "$(cpu_per_gib 1 "$c")"
limit=$(awk -v a="$dd1m" -v b="$dd16k" 'BEGIN { print (a > b ? a : b) }')

for pair in "0 1" "2 3"; do
    read -r method passes <<<"$pair"
    read -r w c < <(best shred -n "$passes" "$file")
    shred_rate=$(mbps "$passes" "$w")
    row "shred -n $passes" "$shred_rate" "$(cpu_per_gib "$passes" "$c")"
    read -r w c < <(best "$bench" "$method" "$file")
    q_rate=$(mbps "$passes" "$w")
    row "quenlo method $method ($passes pass(es))" "$q_rate" "$(cpu_per_gib "$passes" "$c")"
    printf "%-30s %8s x shred   %s x limit per pass   (wall %s s, cpu %s s)\n" "" \
        "$(ratio "$q_rate" "$shred_rate")" "$(ratio "$q_rate" "$limit")" "$w" "$c"
    read -r w c < <(best shred -n "$passes" -u "$file")
    shred_u_rate=$(mbps "$passes" "$w")
    row "shred -n $passes -u" "$shred_u_rate" "$(cpu_per_gib "$passes" "$c")"
    read -r w c < <(best "$cli" shred --yes --quiet --method "$method" "$file")
    cli_rate=$(mbps "$passes" "$w")
    row "quenlo-cli shred --method $method" "$cli_rate" "$(cpu_per_gib "$passes" "$c")"
    printf "%-30s %8s x shred -u   %s x limit per pass   (wall %s s, cpu %s s)\n" "" \
        "$(ratio "$cli_rate" "$shred_u_rate")" "$(ratio "$cli_rate" "$limit")" "$w" "$c"
done
rm -f "$file" "$QUENLO_REGISTRY"*
