#!/usr/bin/env bash
# Checks the Marlo.exe an office copies to its server:
# - small: under 400 KB, without debug information;
# - imports only Windows' "known DLLs": any other library is looked for in the exe's own folder
#   first, where anyone who can write to the share could plant one. (Wine prefers its own builtin
#   libraries, so this cannot be shown by running it.)
# - calls no ANSI (A) function: names in any script reach Windows only through the wide (W) calls.
#   The runtime's own CreateEventA, CreateSemaphoreA and OutputDebugStringA carry no names of ours.
# - no SystemFunction<digits>: advapi32 forwards them outside the known DLLs (036 to cryptbase).
# - asks Windows 10 and later to resolve its imports from the system folder alone, before WinMain
#   can restrict the search: its load configuration (data directory 10) holds DependentLoadFlags,
#   the WORD at offset 78, = LOAD_LIBRARY_SEARCH_SYSTEM32 (0x800).
set -euo pipefail
exe=$1
status=0

size=$(stat -c %s "$exe")
limit=409600
if [ "$size" -ge "$limit" ]; then
  echo "$exe is $size bytes, not under $limit"
  status=1
fi
if x86_64-w64-mingw32-objdump -h "$exe" | grep -q '\.debug_'; then
  echo "$exe carries debug information"
  status=1
fi

known='^(kernel32|user32|gdi32|msvcrt|advapi32|comdlg32|shell32|ole32|oleaut32|shlwapi|ws2_32|rpcrt4|sechost|imm32|combase)\.dll$'
while read -r dll; do
  if [[ ! "${dll,,}" =~ $known ]]; then
    echo "$exe imports $dll, which is not a known DLL"
    status=1
  fi
done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')

functions=$(x86_64-w64-mingw32-objdump -p "$exe" |
  awk '/DLL Name:/ { imports = 1 } imports && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print $3 }')
# Windows 7 without its library-search update lacks it: imported, the exe would not load at all.
if grep -qx SetDefaultDllDirectories <<<"$functions"; then
  echo "$exe imports SetDefaultDllDirectories, which not every Windows 7 has"
  status=1
fi
while read -r function; do
  if [[ "$function" =~ ^SystemFunction[0-9]+$ ]]; then
    echo "$exe imports $function, which Windows forwards outside the known DLLs"
    status=1
  fi
done <<<"$functions"
if [ -z "$functions" ]; then
  echo "$exe: no imported functions found"
  status=1
fi
runtime_ansi='^(CreateEventA|CreateSemaphoreA|OutputDebugStringA)$'
while read -r function; do
  if [[ "$function" =~ A$ && ! "$function" =~ $runtime_ansi ]]; then
    echo "$exe imports $function, an ANSI call"
    status=1
  fi
done <<<"$functions"

headers=$(x86_64-w64-mingw32-objdump -p "$exe")
read -r config_rva config_size <<<"$(awk '$1 == "Entry" && $2 == "a" { print "0x" $3, "0x" $4 }' <<<"$headers")"
base=0x$(awk '$1 == "ImageBase" { print $2 }' <<<"$headers")
# The little-endian number of $2 bytes at RVA $1, read from the file; fails where no section has it.
number_at() {
  local address=$((base + $1)) hex number="" i
  hex=$(x86_64-w64-mingw32-objdump -s --start-address=$address --stop-address=$((address + $2)) \
    "$exe" | awk '/^ [0-9a-f]+ [0-9a-f]+/ { print $2 }')
  [ ${#hex} = $(($2 * 2)) ] || return 1
  for ((i = ${#hex} - 2; i >= 0; i -= 2)); do number+=${hex:i:2}; done
  echo $((16#$number))
}
if ((config_rva == 0 || config_size < 80)); then
  echo "$exe has no load configuration (data directory 10), so no DependentLoadFlags"
  status=1
elif ! length=$(number_at "$config_rva" 4); then
  echo "$exe's load configuration entry points outside its sections"
  status=1
elif ((length < 80)); then
  echo "$exe's load configuration is $length bytes, too short for DependentLoadFlags"
  status=1
else
  flags=$(number_at $((config_rva + 78)) 2)
  if ((flags != 0x800)); then
    echo "$exe's DependentLoadFlags are $(printf 0x%04x "$flags"), not 0x0800 (system folder only)"
    status=1
  fi
fi

[ $status -eq 0 ] &&
  echo "$exe: $size bytes, no debug information, imports only known DLLs and no SystemFunction," \
    "no ANSI calls of its own, DependentLoadFlags 0x0800"
exit $status
