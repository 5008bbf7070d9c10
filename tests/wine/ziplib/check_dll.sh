#!/usr/bin/env bash
# Static check of a DLL of the kit:  check_dll.sh OBJDUMP DLL POST_XP_API_LIST EXPORT...
# The DLL must export exactly the EXPORT names, undecorated, and import nothing that Windows XP
# lacks: only system DLLs, and no function named in POST_XP_API_LIST.
set -uo pipefail
objdump=$1 dll=$2 post_xp=$3
shift 3
dump=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }
failed=0

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
               on && /^\t\[/ {print $NF; next}
               on {on = 0}' <<<"$dump" | sort)
expected=$(printf '%s\n' "$@" | sort)
if [ "$exports" != "$expected" ]; then
    echo "exports:"; echo "$exports"; echo "expected exactly:"; echo "$expected"
    failed=1
fi

for name in $(awk '/DLL Name:/ {print $3}' <<<"$dump"); do
    case "${name,,}" in
    kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | gdi32.dll | shell32.dll | ole32.dll | oleaut32.dll | \
        shlwapi.dll | comctl32.dll | comdlg32.dll | version.dll | ws2_32.dll) ;;
    *) echo "imports from $name, which is not a system DLL of Windows XP"; failed=1 ;;
    esac
done

imports=$(awk '/DLL Name:/ {dll = $3}
               /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ {print dll, $3}' <<<"$dump")
if [ -z "$imports" ]; then
    echo "found no imports in the dump: the check itself is broken"
    failed=1
fi
while read -r from function; do
    if grep -qxF "$function" "$post_xp"; then
        echo "imports $function from $from, which Windows XP lacks"
        failed=1
    fi
done <<<"$imports"

[ "$failed" = 0 ] && echo "$(basename "$dll"): exports $(echo $exports), $(wc -l <<<"$imports") imports, all on Windows XP"
exit "$failed"
