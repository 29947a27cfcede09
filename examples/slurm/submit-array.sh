#!/usr/bin/env bash
# Submits a job array over SHARES shares of the inputs (array.sbatch) and,
# after all its tasks have ended, the merge step that joins their result
# files into results.tsv (exit code of merge-results.sh). Run it from the
# working folder; extra arguments go to both sbatch calls (e.g. --ntasks=8
# --time=4:00:00 --partition=...). Prints the two job ids.
#
# Usage: submit-array.sh SHARES [sbatch options...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
shares=${1:?Usage: submit-array.sh SHARES [sbatch options...]}
shift
[[ $shares =~ ^[1-9][0-9]*$ ]] || { echo "SHARES must be a positive number" >&2; exit 2; }
files=()
for ((k = 1; k <= shares; ++k)); do files+=("results-share-$k.tsv"); done
array=$(sbatch --parsable --array=1-"$shares" --export=ALL,SHARES="$shares" "$@" \
  "$here/array.sbatch")
merge=$(sbatch --parsable "$@" --dependency=afterany:"${array%%;*}" --ntasks=1 \
  --job-name=scatterdeck-merge --output=merge-%j.out \
  --wrap="'$here/merge-results.sh' ${files[*]} > results.tsv")
echo "array $array"
echo "merge $merge"
