#!/usr/bin/env bash
# Joins the result files of the shares of a job array into one: every
# result line as it stands, then one summary line with the sums of done,
# failed and unfinished and the longest wall time (the shares run side by
# side). A file that is missing or has no summary line (its task did not
# finish) is named on standard error.
#
# Usage: merge-results.sh FILE... > results.tsv
# Exit codes: 0 every job of every share gave chi(k) data; 1 any did not, or
# a file is missing or unfinished.
set -uo pipefail
status=0
done_sum=0 failed_sum=0 unfinished_sum=0 wall_max=0
for file in "$@"; do
  if [[ ! -r $file ]]; then
    echo "merge-results: $file is missing" >&2
    status=1
    continue
  fi
  summary=$(grep -a '^summary	' "$file" | tail -n 1)
  grep -av '^summary	' "$file"
  if [[ -z $summary ]]; then
    echo "merge-results: $file has no summary line: its batch run did not finish" >&2
    status=1
    continue
  fi
  read -r d f u w < <(awk -F'\t' '{
    for (i = 2; i <= NF; ++i) { split($i, kv, "="); v[kv[1]] = kv[2] }
    print v["done"] + 0, v["failed"] + 0, v["unfinished"] + 0, v["wall"] + 0 }' <<<"$summary")
  done_sum=$((done_sum + d)) failed_sum=$((failed_sum + f)) unfinished_sum=$((unfinished_sum + u))
  wall_max=$(awk -v a="$wall_max" -v b="$w" 'BEGIN { print (b > a) ? b : a }')
done
printf 'summary\tdone=%d\tfailed=%d\tunfinished=%d\twall=%.3f\n' \
  "$done_sum" "$failed_sum" "$unfinished_sum" "$wall_max"
((failed_sum + unfinished_sum == 0)) || status=1
exit $status
