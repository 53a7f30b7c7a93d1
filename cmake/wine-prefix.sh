#!/bin/sh
# Makes the wine prefix of a Windows cross build (WINEPREFIX, set by the caller): wine's own
# start, and a CD-ROM drive R: over the folder $1, so that the tests of the disc lookup find a
# drive of that type. Waits until wine has ended, so that the drive is seen by the next start.
set -e
wineboot --init
mkdir -p "$1"
ln -sfn "$1" "$WINEPREFIX/dosdevices/r:"
wine reg add 'HKLM\Software\Wine\Drives' /v r: /d cdrom /f >/dev/null
wineserver -w
