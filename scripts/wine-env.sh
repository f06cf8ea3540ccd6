# Sourced by the Wine scripts: one 32-bit prefix under build/, quiet, no host integration.
ZAPRELAY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ZAPRELAY_ROOT
export WINEPREFIX="${ZAPRELAY_WINEPREFIX:-$ZAPRELAY_ROOT/build/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
# No menu entries or file associations on the host, no Mono or Gecko install prompts.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# Virtual desktop size; the Xvfb screen is larger so the desktop window fits whole.
ZAPRELAY_DESKTOP_SIZE=1280x1024
ZAPRELAY_SCREEN_SIZE=1440x1152x24
