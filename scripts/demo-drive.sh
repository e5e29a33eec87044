#!/usr/bin/env bash
# Fills the demo server drive (MARLO_SERVER_DRIVE, inside scripts/wine-session.sh): D:\MENU holds
# Marlo.exe and an app.txt of three entries; D:\APPS holds two harmless demo programs that show
# the folder they were started from, the clock with an icon of its own, the notes without (so it
# is shown with the system's program icon). The third entry's program is not there, as happens in
# an office when a program is moved: both windows mark it.
set -euo pipefail
server=$MARLO_SERVER_DRIVE
bin=build/windows/bin
rm -rf "$server/MENU" "$server/APPS"
mkdir -p "$server/MENU" "$server/APPS/CLOCK" "$server/APPS/NOTES"
cp "$bin/Marlo.exe" "$server/MENU/Marlo.exe"
cp "$bin/DemoClock.exe" "$server/APPS/CLOCK/CLOCK.EXE"
cp "$bin/DemoApp.exe" "$server/APPS/NOTES/NOTES.EXE"
# The last two entries are for some of the office only: the sales ledger for the administrators
# (whom the demo's user belongs to), the stock list for the stock room's computers.
printf '%s\r\n' 'Clock=D:\APPS\CLOCK\CLOCK.EXE' 'Notes=D:\APPS\NOTES\NOTES.EXE' \
  'Sales ledger=D:\APPS\SALES\SALES.EXE=@Administrators, Accounts' \
  'Stock list=D:\APPS\STOCK\STOCK.EXE=@STOCK-*' > "$server/MENU/app.txt"
