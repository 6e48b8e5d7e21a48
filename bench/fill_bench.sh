#!/usr/bin/env bash
# Free-space fill against dd on a loop-mounted ext4 image (root only).
#   bench/fill_bench.sh [BUILD_DIR] [IMAGE_MIB]
# dd if=/dev/zero bs=1M (+ sync) fills the image first; then methods 0, 2
# and 4 fill the same image. Prints MB/s and each method's ratio to dd.
set -euo pipefail
build=${1:-build/default}
mib=${2:-1024}
tool="$build/bench/quenlo_fill_bench"
[ "$(id -u)" = 0 ] || { echo "needs root to loop-mount an image" >&2; exit 1; }
work=$(mktemp -d /tmp/quenlo-fill-bench-XXXXXX)
trap 'umount "$work/mnt" 2>/dev/null || true; rm -rf "$work"' EXIT
truncate -s "${mib}M" "$work/image"
# No lazy initialisation: a background thread writing inode tables would
# slow down whichever run comes first.
mkfs.ext4 -q -F -E nodiscard,lazy_itable_init=0,lazy_journal_init=0 "$work/image"
mkdir "$work/mnt"
mount -o loop,nodiscard "$work/image" "$work/mnt"

rate() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.0f", b / s / 1e6 }'; }

dd_fill() {
    local start end bytes seconds
    start=$(date +%s.%N)
    dd if=/dev/zero of="$work/mnt/dd.fill" bs=1M 2>/dev/null || true
    sync
    end=$(date +%s.%N)
    bytes=$(stat -c %s "$work/mnt/dd.fill")
    rm "$work/mnt/dd.fill"; sync
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
    printf 'dd bs=1M + sync      %6s MB/s  (%d MiB in %.2f s)\n' "$(rate "$bytes" "$seconds")" $((bytes >> 20)) "$seconds" >&2
    rate "$bytes" "$seconds"
}
# dd before and after the fills; the better of the two is the reference.
dd_first=$(dd_fill)
declare -A rates
for method in 0 2 4; do
    read -r written secs < <("$tool" "$work/mnt" "$method")
    rates[$method]=$(rate "$written" "$secs")
    printf 'method %d              %6s MB/s  (%d MiB in %.2f s)\n' "$method" "${rates[$method]}" $((written >> 20)) "$secs"
    sync
done
dd_second=$(dd_fill)
dd_rate=$(( dd_first > dd_second ? dd_first : dd_second ))
for method in 0 2 4; do
    printf 'method %d / dd        %.2f x (goal %s)\n' "$method" \
        "$(awk -v a="${rates[$method]}" -v b="$dd_rate" 'BEGIN { print a / b }')" \
        "$(case $method in 0) echo 0.8;; 2) echo 0.5;; 4) echo 0.1;; esac)"
done
