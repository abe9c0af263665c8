#!/usr/bin/env bash
# Each program file must be a GUI-subsystem PE of its width and import
# nothing but system DLLs.
set -u
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|msvcrt)\.dll$'
status=0
for exe in "$@"; do
    if [ ! -f "$exe" ]; then
        echo "FAIL: $exe is missing; build the win32 and win64 presets first"
        status=1
        continue
    fi
    dump=$(x86_64-w64-mingw32-objdump -p "$exe") || { echo "FAIL: objdump cannot read $exe"; status=1; continue; }
    case "$exe" in
        *win32*) want_format='pei-i386' ;;
        *) want_format='pei-x86-64' ;;
    esac
    if ! grep -q "file format $want_format" <<<"$dump"; then
        echo "FAIL: $exe is not $want_format"
        status=1
    fi
    if ! grep -qE '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$dump"; then
        echo "FAIL: $exe is not a GUI-subsystem program"
        status=1
    fi
    dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
    if [ -z "$dlls" ]; then
        echo "FAIL: $exe lists no imports at all"
        status=1
    fi
    while read -r dll; do
        [ -z "$dll" ] && continue
        if [[ ! "$dll" =~ $allowed ]]; then
            echo "FAIL: $exe imports $dll"
            status=1
        else
            echo "ok: $exe imports $dll"
        fi
    done <<<"$dlls"
done
exit $status
