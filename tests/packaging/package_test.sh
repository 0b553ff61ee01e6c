#!/usr/bin/env bash
# Checks the Debian package that scripts/package left in BUILD/package: named
# and versioned as the banner shows, depending on Qt 6 Core, holding the
# installed tree under /usr (manual page and changelog compressed); unpacked
# with dpkg-deb, with the build's stand-ins beside it, it runs the bundled
# example in English and in French, and its mpsrdd reads the example's report.
set -uo pipefail
source_dir=$1
build=$(cd "$2" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
packages=("$build"/package/*.deb)
[ ${#packages[@]} -eq 1 ] || { echo "not one package: ${packages[*]}"; exit 1; }
deb=${packages[0]}

version=$(dpkg-deb -f "$deb" Version)
expected_name=mpsmerge_${version}_$(dpkg --print-architecture).deb
[ "$(basename "$deb")" = "$expected_name" ] || { echo "$(basename "$deb"), expected $expected_name"; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q '\blibqt6core6\b' || { echo "no Qt 6 Core in: $(dpkg-deb -f "$deb" Depends)"; exit 1; }

dpkg-deb -x "$deb" "$root" || exit 1
diff -u <({ sed 's|man1/mps[a-z]*\.1$|&.gz|' "$source_dir/tests/packaging/installed_tree"
            echo share/doc/mpsmerge/changelog.gz; } | LC_ALL=C sort) \
  <(cd "$root/usr" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) || exit 1

# The banner shows the version (it comes before the missing file ends the run).
banner=$(cd "$root" && VARNETDIR="$root/usr" "$root/usr/bin/mpsmerge" missing.rio 2>&1 | grep STARTEXEC)
[ "${banner##* }" = "$version" ] || { echo "package version $version, banner: $banner"; exit 1; }

cmake --install "$build" --prefix "$root/usr" --component standins >/dev/null || exit 1
for scenario in example_three_testers example_in_french; do
  bash "$source_dir/tests/e2e/run_scenario.sh" "$source_dir/tests/e2e/scenarios/$scenario" "$build" \
    "$root/usr" || { echo "$scenario failed"; exit 1; }
done

# mpsrdd of the package reads the example's report.
work=$(mktemp -d)
trap 'rm -rf "$root" "$work"' EXIT
cp "$source_dir"/tests/e2e/scenarios/example_three_testers/* "$work"/
(cd "$work" && VARNETDIR="$root/usr" MPS_DIR="$root/usr/lib/mpsmerge/standins" "$root/usr/bin/mpsmerge" \
  lift_acceptance.tdc cabin.rio landing.rio supervisor.rio 2>/dev/null)
summary=$("$root/usr/bin/mpsrdd" summary --fail-on=never "$work/mpsrdd.rdd") || { echo "mpsrdd summary failed"; exit 1; }
[ "$(grep ^all: <<<"$summary")" = "all: 6 steps, 4 passed, 1 failed, 1 inconclusive, 0 unknown, 1 ER" ] ||
  { echo "mpsrdd summary: $summary"; exit 1; }
"$root/usr/bin/mpsrdd" junit "$work/mpsrdd.rdd" && "$root/usr/bin/mpsrdd" page "$work/mpsrdd.rdd" -o "$work/page.html" &&
  [ -s "$work/mpsrdd.junit.xml" ] && [ -s "$work/page.html" ] || { echo "mpsrdd junit or page failed"; exit 1; }
