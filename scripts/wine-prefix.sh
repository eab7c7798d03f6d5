# Sourced by the scripts that run Windows builds under Wine against the simulator.
# wine_prefix WORK: finds Wine (sets $wine and $wineserver, exits when it is missing) and makes
# a fresh prefix in WORK/wine whose COM1 is the simulator's link WORK/com/COM1 (Wine replaces
# a plain link under dosdevices itself); exports what the Wine runs need.
wine_prefix() {
  local work=$1
  wine=$(command -v wine64 || command -v wine || ls /usr/lib/wine/wine64 2>/dev/null || true)
  if [ -z "$wine" ]; then
    echo "$(basename "$0"): Wine is not installed (scripts/setup installs wine64 as root)" >&2
    exit 1
  fi
  wineserver=$(dirname "$wine")/wineserver
  export RAVO_COM_DIR=$work/com WINEPREFIX=$work/wine WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="  # no offer to install Mono or Gecko
  echo "Preparing a Wine prefix with COM1 on the simulator's link ..."
  "$wine" wineboot -i >"$work/wineboot.log" 2>&1
  "$wine" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$work/com/COM1" /f >/dev/null 2>&1
  "$wineserver" -w
}
