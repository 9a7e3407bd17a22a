#!/usr/bin/env bash
# Checks that the C++ lines this change adds or alters follow .clang-format. The
# change is what the branch has added since it left main (the merge base), or the
# last commit when the branch is main itself (a merge commit is not checked again);
# nothing to compare passes. Lines the change does not touch are not checked.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v git-clang-format >/dev/null || ! git rev-parse --git-dir >/dev/null 2>&1; then
  echo "check-format: no git checkout or no clang-format; nothing checked"
  exit 0
fi
head=$(git rev-parse -q --verify HEAD || true)
[ -n "$head" ] || { echo "check-format: no commit yet; nothing checked"; exit 0; }
base=""
for ref in main origin/main; do
  if git rev-parse -q --verify "$ref^{commit}" >/dev/null; then
    mb=$(git merge-base HEAD "$ref" 2>/dev/null || true)
    if [ -n "$mb" ] && [ "$mb" != "$head" ]; then base=$mb; break; fi
  fi
done
if [ -z "$base" ]; then
  # On main itself: the last commit. A merge brings branches that were checked on
  # their own, so it is not checked again.
  if git rev-parse -q --verify "HEAD^2^{commit}" >/dev/null; then
    echo "check-format: a merge commit; its branches are checked on their own"
    exit 0
  fi
  base=$(git rev-parse -q --verify "HEAD~1^{commit}" || true)
fi
[ -n "$base" ] || { echo "check-format: nothing to compare; nothing checked"; exit 0; }

out=$(git clang-format --diff --extensions cpp,h "$base" -- src tests bench fuzz 2>&1 || true)
case "$out" in
  "" | *"no modified files to format"* | *"clang-format did not modify any files"*)
    echo "check-format: the changed lines since ${base:0:12} are formatted"
    exit 0
    ;;
esac
echo "$out"
echo "check-format: the lines above are not formatted as .clang-format says;" \
  "run: git clang-format $base"
exit 1
