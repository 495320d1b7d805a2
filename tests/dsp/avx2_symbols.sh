#!/bin/bash
# The AVX2 unit defines no symbol another unit could bind to but its entry
# functions: an inline function or template it compiled for AVX2, left weak
# and global, could be chosen by the linker for the plain code too, which
# would then fault on a processor without AVX2.
# Usage: avx2_symbols.sh OBJECT
set -euo pipefail
object=$1
entries='^ka813::(processChannelChunkAvx2|stepFourTriodesAvx2)\('
# DW.ref.* are the compiler's pointers to the exception personality routine,
# alike in every unit and no code of this one.
exported=$(nm --defined-only --extern-only --demangle "$object" | cut -d' ' -f3- | grep -v '^DW\.ref\.' || true)
if [ -z "$exported" ]; then
    echo "no symbols defined in $object" >&2
    exit 1
fi
stray=$(grep -Ev "$entries" <<<"$exported" || true)
if [ -n "$stray" ]; then
    echo "symbols of the AVX2 unit that other units could bind to:" >&2
    echo "$stray" >&2
    exit 1
fi
count=$(grep -Ec "$entries" <<<"$exported")
if [ "$count" -ne 2 ]; then
    echo "expected both entry functions, found $count" >&2
    exit 1
fi
echo "only the entry functions are global:"
echo "$exported"
