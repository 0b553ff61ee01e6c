#!/usr/bin/env bash
# Installs the build under DESTDIR with a prefix of its own: the files of
# installed_tree and nothing else, the stand-ins only as their component; then
# runs the bundled example from the installed tree, in English and in French.
set -uo pipefail
source_dir=$1
build=$(cd "$2" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=/opt/mpsmerge

files() { (cd "$root" && find . ! -type d | sed "s|^\./${prefix#/}/||" | LC_ALL=C sort); }

DESTDIR=$root cmake --install "$build" --prefix "$prefix" >/dev/null || exit 1
diff -u "$source_dir/tests/packaging/installed_tree" <(files) || exit 1
DESTDIR=$root cmake --install "$build" --prefix "$prefix" --component standins >/dev/null || exit 1
diff -u <(printf '%s\n' lib/mpsmerge/standins/mpspostpro lib/mpsmerge/standins/mpsuml) \
  <(files | grep standins) || exit 1

for scenario in example_three_testers example_in_french; do
  bash "$source_dir/tests/e2e/run_scenario.sh" "$source_dir/tests/e2e/scenarios/$scenario" "$build" \
    "$root$prefix" || { echo "$scenario failed"; exit 1; }
done
