# The closing table of tools/bench from the rows the benches saved (tab-separated: work, size, ours,
# peer, ratio, memory and, where the bench was given one, its goal), then the benches' notes (lines
# "#<tab>TEXT") under it. Each ratio must read as the peer's time over ours: a row whose median
# ratio lies outside its range, or points the other way than its two times where they differ by
# half or more, is named after the table and the exit code is 1.
#   awk -F'\t' -f bench/support/BenchTable.awk ROWS

# A time cell ("85.0 us", "412 ms", "3.21 s", maybe followed by a range) in seconds; 0 when none.
function seconds(cell,    parts, n) {
  n = split(cell, parts, " ")
  if (n < 2 || parts[1] !~ /^[0-9.]+$/) return 0
  if (parts[2] == "us") return parts[1] / 1e6
  if (parts[2] == "ms") return parts[1] / 1e3
  if (parts[2] == "s") return parts[1] + 0
  return 0
}

function check(row, work, ours, peer, ratio,    m, parts, median, low, high, q) {
  if (!match(ratio, /^[0-9.]+ \[[0-9.]+-[0-9.]+\]$/)) return
  split(ratio, parts, /[ [\]-]+/)
  median = parts[1] + 0; low = parts[2] + 0; high = parts[3] + 0
  if (median < low || median > high) { bad[++nbad] = work ": the median ratio " median " lies outside [" low "-" high "]"; return }
  if (seconds(ours) <= 0 || seconds(peer) <= 0) return
  q = seconds(peer) / seconds(ours)
  if ((q >= 1.5 && median < 1) || (q <= 1 / 1.5 && median > 1))
    bad[++nbad] = work ": ours " ours ", peer " peer ", yet the ratio is " median " (it must be peer / ours)"
}

BEGIN { n = 1; k = 7; split("work\tsize\tours\tpeer\tratio\tmemory\tgoal", h, "\t"); for (c = 1; c <= k; ++c) { cell[1, c] = h[c]; w[c] = length(h[c]) } }
$1 == "#" { notes[++nnotes] = $2; next }
{
  ++n
  for (c = 1; c <= k; ++c) { cell[n, c] = $c; if (length($c) > w[c]) w[c] = length($c) }
  check(n, $1, $3, $4, $5)
}
END {
  for (r = 1; r <= n; ++r) {
    line = ""
    for (c = 1; c <= k; ++c) line = line sprintf(c < k ? "%-" w[c] "s | " : "%s", cell[r, c])
    sub(/ +$/, "", line)
    print line
    if (r == 1) { sep = ""; for (c = 1; c <= k; ++c) sep = sep sprintf(c < k ? "%s-+-" : "%s", substr("----------------------------------------------------------------------------------------------------", 1, w[c])); print sep }
  }
  if (nnotes) {
    print ""
    print "notes:"
    for (i = 1; i <= nnotes; ++i) print "  " notes[i]
  }
  if (nbad) {
    print ""
    print "RATIOS NOT peer / ours:"
    for (i = 1; i <= nbad; ++i) print "  " bad[i]
    exit 1
  }
}
