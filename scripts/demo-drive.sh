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
printf 'Clock=D:\\APPS\\CLOCK\\CLOCK.EXE\r\nNotes=D:\\APPS\\NOTES\\NOTES.EXE\r\nSales ledger=D:\\APPS\\SALES\\SALES.EXE\r\n' \
  > "$server/MENU/app.txt"
