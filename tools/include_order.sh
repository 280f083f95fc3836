#!/bin/sh
# Prints the folders of src/ in an order where each includes only folders
# before it; fails, naming the loop, if the folders include each other in a
# circle. Run from the source tree: tools/include_order.sh
cd "$(dirname "$0")/.." || exit 2
find src -name '*.cpp' -o -name '*.h' | while read -r file; do
  folder=$(echo "$file" | cut -d/ -f2)
  grep -ho '^#include "[a-z_]*/' "$file" | sed "s/^#include \"//; s#/##; s/^/$folder /"
done | awk '$1 != $2 { print $2, $1 }' | sort -u | tsort
