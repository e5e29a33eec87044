#!/usr/bin/env bash
# Points the exe's load configuration entry (data directory 10) at its _load_config_used
# (src/platform/load_config_win.cpp), which GNU ld leaves empty, and sets the header's checksum
# right again. The exe is stripped, so the structure's address comes from the link map.
#
#   cmake/set-load-config.sh EXE MAP
#
# Run twice, it writes the same bytes. Any doubt (no symbol, not a 64-bit exe, no such structure
# at that address) fails the build: an entry pointing anywhere else could stop Windows loading it.
set -euo pipefail
exe=$1
map=$2
size=112

fail() {
  echo "set-load-config.sh: $exe: $*" >&2
  exit 1
}

# Little-endian unsigned numbers of the exe: offset, bytes.
number() { od -An -tu"$2" -j"$1" -N"$2" --endian=little "$exe" | tr -d ' '; }
put() {
  local offset=$1 value=$2 bytes=$3 escaped="" i
  for ((i = 0; i < bytes; i++)); do escaped+=$(printf '\\x%02x' $(((value >> (8 * i)) & 255))); done
  printf "$escaped" | dd of="$exe" bs=1 seek="$offset" conv=notrunc status=none
}

address=$(awk '$1 ~ /^0x/ && $2 == "_load_config_used" && NF == 2 { print $1 }' "$map")
base=$(awk '$1 ~ /^0x/ && $2 == "__image_base__" && $3 == "=" { print $1 }' "$map")
[ "$(wc -w <<<"$address")" = 1 ] || fail "_load_config_used is not in $map (once)"
[ "$(wc -w <<<"$base")" = 1 ] || fail "__image_base__ is not in $map"
rva=$((address - base))

pe=$(number 60 4)
[ "$(number "$pe" 4)" = 17744 ] || fail "not a PE file" # "PE\0\0"
optional=$((pe + 24))
[ "$(number "$optional" 2)" = 523 ] || fail "not a 64-bit exe" # 0x20b, PE32+
[ "$(number $((optional + 108)) 4)" -gt 10 ] || fail "no room for data directory 10"

# The structure's first DWORD, its size, found through the section table.
sections=$(number $((pe + 6)) 2)
table=$((optional + $(number $((pe + 20)) 2)))
found=""
for ((i = 0; i < sections; i++)); do
  header=$((table + 40 * i))
  start=$(number $((header + 12)) 4)
  if ((rva >= start && rva + size <= start + $(number $((header + 16)) 4))); then
    found=$(number $(($(number $((header + 20)) 4) + rva - start)) 4)
  fi
done
[ "$found" = "$size" ] || fail "no $size-byte load configuration at RVA $(printf 0x%x $rva)"

put $((optional + 112 + 8 * 10)) "$rva" 4
put $((optional + 112 + 8 * 10 + 4)) "$size" 4

# The checksum as the linker makes it: 16-bit words added with end-around carry, the checksum
# field itself left out, plus the file's length.
checksum=$((optional + 64))
sum=$(od -An -v -tu2 --endian=little "$exe" |
  awk -v skip=$((checksum / 2)) -v bytes="$(stat -c %s "$exe")" '
    { for (i = 1; i <= NF; i++) { if (n != skip && n != skip + 1) { sum += $i; sum = sum % 65536 + int(sum / 65536) } n++ } }
    END { sum = sum % 65536 + int(sum / 65536); print sum + bytes }')
put "$checksum" "$sum" 4
