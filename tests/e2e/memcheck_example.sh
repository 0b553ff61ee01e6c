#!/usr/bin/env bash
# Runs the bundled example under valgrind: no invalid access and no
# definitely-lost block (valgrind's own status 99), else the run's status 3.
set -uo pipefail
source_dir=$1
build=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source_dir"/examples/* "$work"/
cd "$work"
VARNETDIR="$build/varnet" MPS_DIR="$build" valgrind -q --leak-check=full --errors-for-leak-kinds=definite \
  --error-exitcode=99 "$build/mpsmerge" ./*.tdc ./*.rio -RDD=example.rdd 2>stderr
status=$?
if [ "$status" != 3 ]; then
  cat stderr
  echo "exit status $status, expected 3"
  exit 1
fi
