#!/usr/bin/env bash
# Benchmarks of the archiver stand-in and the volume join; prints each figure with
# the command that reproduces it. Not part of ctest.
#
#   bench/run_unlha_bench.sh BUILD_DIR [WORK_DIR]
#
# BUILD_DIR must hold bench/unlha_bench_extract and bench/unlha_bench_join
# (cmake --build BUILD_DIR --target unlha_bench_extract unlha_bench_join).
# WORK_DIR (default /work/benchdata/unlha, else a temporary folder) needs about
# 3 GB; it is removed at the end. Needs jlha (jlha-utils) and bsdtar
# (libarchive-tools).
set -euo pipefail

build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=${2:-/work/benchdata/unlha}
mkdir -p "$work"
work=$(cd "$work" && pwd)
trap 'rm -rf "$work"' EXIT
export SETUP_PREFIX="$work/prefix"
export LANG=C.UTF-8
extract="$build/bench/unlha_bench_extract"
join="$build/bench/unlha_bench_join"
python=/usr/bin/python3
[ -x "$python" ] || python=python3
runs=5

jlha_c() {  # jlha_c OPTIONS ARCHIVE (over everything in the current folder)
  "$here/../tools/make_lzh_jlha.sh" "$1" "$2" . *
}
seconds() {  # seconds COMMAND...: wall time of one run
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }' 
}
median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
ours() {  # ours ARCHIVE DEST: wall seconds of the whole program, as for bsdtar
  rm -rf "$2"
  seconds "$extract" "$1" "$2"
}
# bsdtar needs the same name character set to read CP932 names at all.
theirs() { rm -rf "$2"; mkdir -p "$2"; seconds bsdtar --options lha:hdrcharset=CP932 -xf "$1" -C "$2"; }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'),"\
  "$(free -g | awk '/Mem:/ {print $2}') GB RAM; file system of $work: $(df -T "$work" | awk 'NR==2 {print $2}')"
echo "tools: $(bsdtar --version | head -1)"
echo

# (a) Joining three volumes of 100 MB.
mkdir -p "$work/a"
for i in 1 2 3; do head -c 100M /dev/urandom > "$work/a/PKG.00$i"; done
vols=("$work/a/PKG.001" "$work/a/PKG.002" "$work/a/PKG.003")
cat "${vols[@]}" > /dev/null
ours_a=(); cat_a=()
for _ in $(seq $runs); do
  rm -f "$work/a/joined" "$work/a/catted"
  # Both timed from outside, process start included.
  ours_a+=("$(seconds "$join" "$work/a/joined" "${vols[@]}")")
  cat_a+=("$(seconds sh -c "cat ${vols[*]} > $work/a/catted")")
done
cmp "$work/a/joined" "$work/a/catted"
oa=$(median "${ours_a[@]}"); ca=$(median "${cat_a[@]}")
echo "(a) join 3 x 100 MB, 4096-byte blocks through win32::Stream: ${oa}s; cat: ${ca}s;" \
  "ratio $(ratio "$oa" "$ca") (median of $runs)"
echo "    $join OUT ${vols[*]}   vs   cat ${vols[*]} > OUT"
rm -rf "$work/a"

# (b) One archive of about 200 MB in a few thousand files.
mkdir -p "$work/b/tree"
"$python" "$here/make_tree.py" "$work/b/tree" 3000 360000000
(cd "$work/b/tree" && jlha_c 2o5 "$work/b/big.lzh")
size_b=$(stat -c %s "$work/b/big.lzh")
ours_b=(); bsd_b=(); bsdsync_b=()
for _ in $(seq $runs); do
  sync
  ours_b+=("$(ours "$work/b/big.lzh" "$work/b/ours")")
  sync
  bsd_b+=("$(theirs "$work/b/big.lzh" "$work/b/bsd")")
  # Unlha makes every file durable before it is renamed into place; bsdtar leaves
  # its data in the page cache. With a flush of the file system after it, both
  # end with the data on disk.
  rm -rf "$work/b/bsd"; mkdir -p "$work/b/bsd"; sync
  bsdsync_b+=("$(seconds sh -c "bsdtar --options lha:hdrcharset=CP932 -xf '$work/b/big.lzh' -C '$work/b/bsd' && sync -f '$work/b/bsd'")")
done
diff -r "$work/b/tree" "$work/b/ours" >/dev/null && diff -r "$work/b/tree" "$work/b/bsd" >/dev/null
ob=$(median "${ours_b[@]}"); bb=$(median "${bsd_b[@]}"); bs=$(median "${bsdsync_b[@]}")
echo "(b) extract $((size_b / 1000000)) MB archive, 3000 files (-lh5-, level 2): Unlha ${ob}s;" \
  "bsdtar -xf ${bb}s; ratio $(ratio "$ob" "$bb"); bsdtar -xf then sync -f ${bs}s;" \
  "ratio $(ratio "$ob" "$bs") (median of $runs)"
echo "    $extract $work/b/big.lzh DEST   vs   bsdtar --options lha:hdrcharset=CP932 -xf $work/b/big.lzh -C DEST [&& sync -f DEST]"
rm -rf "$work/b"

# (c) 10,000 and 20,000 small files.
for n in 10000 20000; do
  mkdir -p "$work/c$n/tree"
  "$python" "$here/make_tree.py" "$work/c$n/tree" "$n" "$((n * 300))"
  (cd "$work/c$n/tree" && jlha_c 2o5 "$work/c$n/small.lzh")
  t=()
  for _ in $(seq $runs); do sync; t+=("$(ours "$work/c$n/small.lzh" "$work/c$n/out")"); done
  declare "c_$n=$(median "${t[@]}")"
  rm -rf "$work/c$n/out" "$work/c$n/tree"
done
echo "(c) extract 10,000 small files: ${c_10000}s; 20,000: ${c_20000}s;" \
  "ratio $(ratio "$c_20000" "$c_10000") (median of $runs)"
echo "    $extract $work/c10000/small.lzh DEST   and   $extract $work/c20000/small.lzh DEST"
rm -rf "$work"/c*

# (d) Peak memory while extracting a 1 GB archive.
mkdir -p "$work/d/tree/sub"
for i in $(seq 10); do head -c 100M /dev/urandom > "$work/d/tree/sub/part$i.bin"; done
head -c 24M /dev/zero > "$work/d/tree/zeros.bin"
(cd "$work/d/tree" && jlha_c 2z "$work/d/huge.lzh")
rm -rf "$work/d/tree"
line=$("$extract" "$work/d/huge.lzh" "$work/d/out")
echo "(d) extract $(( $(stat -c %s "$work/d/huge.lzh") / 1000000 )) MB archive: $line"
echo "    $extract $work/d/huge.lzh DEST"
