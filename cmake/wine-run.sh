#!/usr/bin/env bash
# Runs a Windows program under Wine the way the tests expect: ANSI code page 936,
# no debug chatter, and the throw-away prefix that the test run made.
export LC_ALL=zh_CN.UTF-8
export WINEDEBUG=-all
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="${TMPDIR:-/tmp}/rulecore-wine-$(id -u)"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi
exec wine "$@"
