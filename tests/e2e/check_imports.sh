#!/usr/bin/env bash
# Fails when the exe imports a library that is not one of Windows' "known DLLs": such a library
# is looked for in the exe's own folder first, where anyone who can write to the share could
# plant one. (Wine prefers its own builtin libraries, so this cannot be shown by running it.)
set -euo pipefail
known='^(kernel32|user32|gdi32|msvcrt|advapi32|comdlg32|shell32|ole32|oleaut32|shlwapi|ws2_32|rpcrt4|sechost|imm32|combase)\.dll$'
status=0
while read -r dll; do
  if [[ ! "${dll,,}" =~ $known ]]; then
    echo "$1 imports $dll, which is not a known DLL"
    status=1
  fi
done < <(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p')
[ $status -eq 0 ] && echo "$1 imports only known DLLs"
exit $status
