#!/usr/bin/env bash
# The setup is one 32-bit GUI executable that needs no MinGW runtime DLLs.
set -u
exe="$1"
description="$(file -b "$exe")"
case "$description" in
  "PE32 executable (GUI) Intel 80386"*) ;;
  *) echo "not a PE32 GUI i386 executable: $description"; exit 1 ;;
esac
imports="$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')"
if printf '%s\n' "$imports" | grep -i -E '^lib|mingw|pthread'; then
  echo "links a runtime library dynamically"
  exit 1
fi
echo "ok: $description; imports: $(echo $imports)"
