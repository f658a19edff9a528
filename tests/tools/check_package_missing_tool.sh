#!/usr/bin/env bash
# tools/check-package.sh on a PATH without lintian: skipped (exit 0) on a developer's machine, a failure
# under CI. Takes the script and a folder to make that PATH in.
set -euo pipefail
script="$1"
path="$2"
rm -rf "$path"
mkdir -p "$path"
# What the script runs before it looks for its tools, and every tool it looks for but lintian.
for tool in dirname dpkg-deb desktop-file-validate appstreamcli update-mime-database; do
  found=$(command -v "$tool") && ln -s "$found" "$path/$tool"
done

status=0
out=$(env -u CI PATH="$path" "$BASH" "$script" /nonexistent 2>&1) || status=$?
[ "$status" -eq 0 ] || { echo "without CI: exit $status instead of 0: $out"; exit 1; }
[[ "$out" == *"skipped, lintian is missing"* ]] || { echo "without CI: $out"; exit 1; }

status=0
out=$(CI=true PATH="$path" "$BASH" "$script" /nonexistent 2>&1) || status=$?
[ "$status" -ne 0 ] || { echo "under CI: exit 0 although lintian is missing: $out"; exit 1; }
[[ "$out" == *"FAIL: lintian is missing"* ]] || { echo "under CI: $out"; exit 1; }
echo "check-package: skipped without CI, failed under CI"
