#!/usr/bin/env bash
# check_exports.sh OBJDUMP DLL NAME...: the DLL exports exactly the NAMEs, undecorated.
exports=$("$1" -p "$2" | awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
                              on && /^\t\[/ {print $NF; next} on {on = 0}' | sort | xargs)
shift 2
expected=$(printf '%s\n' "$@" | sort | xargs)
echo "exports: ${exports:-none}; expected exactly: $expected"
[ "$exports" = "$expected" ]
