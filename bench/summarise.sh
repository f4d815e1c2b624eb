#!/usr/bin/env bash
# Turns the raw timings of bench/run.sh into results.csv, results.md,
# targets.txt and bench.png in the same folder.
#   bash bench/summarise.sh OUTDIR [TR_ALONE_KIB]
set -euo pipefail
out=${1:?usage: summarise.sh OUTDIR [TR_ALONE_KIB]}
tr_alone=${2:-}

# Per workload, state and contestant: the median, min and max wall time;
# MB/s is source bytes (10^6) per median second; the peak RSS is the
# largest over the runs.
awk -F, -v wfile="$out/workloads.txt" '
  function median(a, n,    i, j, t, b) {
    for (i = 1; i <= n; i++) b[i] = a[i]
    for (i = 2; i <= n; i++)
      for (j = i; j > 1 && b[j - 1] > b[j]; j--) { t = b[j]; b[j] = b[j - 1]; b[j - 1] = t }
    return n % 2 ? b[(n + 1) / 2] : (b[n / 2] + b[n / 2 + 1]) / 2
  }
  BEGIN {
    while ((getline line < wfile) > 0) {
      split(line, f, " ")
      files[f[1]] = f[2]; size[f[1]] = f[3]
    }
    nm = split("bmp2spr safe-copy plain-copy tr-loop naive", members, " ")
    print "workload,files,file_bytes,state,contestant,runs,median_s,min_s,max_s,mb_per_s," \
          "x_safe_copy,x_plain_copy,peak_rss_kib,median_user_s,median_sys_s,paired_x_safe_copy"
  }
  NR == 1 { next }
  {
    g = $1 SUBSEP $2; k = g SUBSEP $3
    if (!(g in seen_g)) { seen_g[g] = 1; groups[++ng] = g }
    n[k]++
    wall[k, n[k]] = $5; user[k, n[k]] = $7; sys[k, n[k]] = $8
    if (n[k] == 1 || $5 < lo[k]) lo[k] = $5
    if (n[k] == 1 || $5 > hi[k]) hi[k] = $5
    if ($6 > rss[k]) rss[k] = $6
  }
  END {
    for (gi = 1; gi <= ng; gi++) {
      g = groups[gi]; split(g, gs, SUBSEP)
      for (mi = 1; mi <= nm; mi++) {
        k = g SUBSEP members[mi]
        if (!(k in n)) continue
        for (i = 1; i <= n[k]; i++) { w[i] = wall[k, i]; u[i] = user[k, i]; s[i] = sys[k, i] }
        med[k] = median(w, n[k]); mu[k] = median(u, n[k]); ms[k] = median(s, n[k])
      }
      for (mi = 1; mi <= nm; mi++) {
        c = members[mi]; k = g SUBSEP c
        if (!(k in n)) continue
        bytes = files[gs[1]] * size[gs[1]]
        # Each round against the safe copy of the same round.
        for (i = 1; i <= n[k]; i++) r[i] = wall[k, i] / wall[g SUBSEP "safe-copy", i]
        printf "%s,%d,%d,%s,%s,%d,%.4f,%.4f,%.4f,%.1f,%.3f,%.3f,%d,%.4f,%.4f,%.3f\n",
          gs[1], files[gs[1]], size[gs[1]], gs[2], c, n[k], med[k], lo[k], hi[k],
          bytes / 1e6 / med[k], med[k] / med[g SUBSEP "safe-copy"],
          med[k] / med[g SUBSEP "plain-copy"], rss[k], mu[k], ms[k], median(r, n[k])
      }
    }
  }' "$out/raw.csv" >"$out/results.csv"

# The table, as Markdown.
awk -F, '
  function amount(b) {
    if (b >= 1048576 && b % 1048576 == 0) return (b / 1048576) " MiB"
    if (b >= 1024 && b % 1024 == 0) return (b / 1024) " KiB"
    return b " B"
  }
  NR == 1 {
    print "| Workload | Files present | Contestant | Median s | Min s | Max s | MB/s | x safe copy | x safe, per round | x plain copy | Peak RSS MiB |"
    print "| --- | --- | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |"
    next
  }
  {
    label = $1 == "idle" ? "idle (no files)" : $2 " x " amount($3)
    state = $4 == "steady" ? "targets there" : $4 == "first" ? "first run" : "-"
    mbs = $1 == "idle" ? "-" : $10
    name = $5 == "bmp2spr" ? "**bmp2spr**" : $5
    printf "| %s | %s | %s | %.4f | %.4f | %.4f | %s | %.2f | %.2f | %.2f | %.1f |\n",
      label, state, name, $7, $8, $9, mbs, $11, $16, $12, $13 / 1024
  }' "$out/results.csv" >"$out/results.md"
{
  echo
  echo "MB/s: source bytes (10^6) per median second; $(sed -n 's/^runs: //p' "$out/machine.txt") runs each, interleaved; warm-up of free memory before each run: $(sed -n 's/^warm-up of free memory before each run: //p' "$out/machine.txt")."
  echo "x safe copy: ratio of the medians; per round: the median over rounds of the time over the safe copy's in the same round."
  echo "Peak RSS: wait4's maxrss of the program alone; for tr-loop the largest of the shell and of any single tr process${tr_alone:+ (one tr alone: $tr_alone KiB; the shell alone is the idle row)}."
} >>"$out/results.md"

# The targets, judged on the medians.
awk -F, '
  NR == 1 { next }
  $1 == "idle" && $5 == "bmp2spr" { idle = $13 }
  $1 != "idle" { k = $1 "," $4; keys[k] = 1; med[k, $5] = $7; rss[k, $5] = $13; size[k] = $3 }
  $1 != "idle" && $5 == "bmp2spr" { xs[k] = $11; paired[k] = $16 }
  function verdict(ok) { if (!ok) missed++; return ok ? "met" : "MISSED" }
  END {
    for (k in keys) {
      split(k, p, ",")
      limit = idle + size[k] / 1024 + 2048
      printf "%s %s: bmp2spr %.3fx the safe copy (<= 1.10: %s; per round median %.3fx); %.1fx faster than tr (%s), %.1fx faster than naive (%s); peak RSS %d KiB, limit %d KiB (%s)\n",
        p[1], p[2], xs[k], verdict(xs[k] <= 1.10), paired[k],
        med[k, "tr-loop"] / med[k, "bmp2spr"], verdict(med[k, "bmp2spr"] < med[k, "tr-loop"]),
        med[k, "naive"] / med[k, "bmp2spr"], verdict(med[k, "bmp2spr"] < med[k, "naive"]),
        rss[k, "bmp2spr"], limit, verdict(rss[k, "bmp2spr"] <= limit)
    }
    printf "idle RSS of bmp2spr: %d KiB; targets missed: %d\n", idle, missed
  }' "$out/results.csv" | sort >"$out/targets.txt"

cat "$out/results.md"
echo
cat "$out/targets.txt"

# The chart: MB/s of each contestant per workload, on a log scale.
awk -F, '
  function amount(b) {
    if (b >= 1048576 && b % 1048576 == 0) return (b / 1048576) "MiB"
    return (b / 1024) "KiB"
  }
  NR == 1 || $1 == "idle" { next }
  {
    k = $1 "," $4
    if (!(k in row)) { order[++n] = k; label[k] = $2 "x" amount($3) "\\n" ($4 == "steady" ? "targets there" : "first run") }
    row[k] = row[k] " " $10
  }
  END { for (i = 1; i <= n; i++) printf "\"%s\"%s\n", label[order[i]], row[order[i]] }
' "$out/results.csv" >"$out/chart.dat"
names=$(awk -F, 'NR > 1 && $1 != "idle" && !seen[$5]++ { printf "%s ", $5 }' "$out/results.csv")
gnuplot <<EOF
set terminal pngcairo size 960,480 font "sans,10"
set output "$out/bench.png"
set title "bmp2spr throughput (MB/s of source, median; log scale)"
set style data histogram
set style histogram clustered gap 1
set style fill solid 0.9 border -1
set boxwidth 0.9
set logscale y
set grid ytics
set ylabel "MB/s"
set key outside right top
set xtics nomirror
set bmargin 4
names = "$names"
plot for [i = 2:words(names) + 1] "$out/chart.dat" using i:xtic(1) title word(names, i - 1)
EOF
