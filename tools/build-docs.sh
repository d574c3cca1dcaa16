#!/usr/bin/env bash
# The installed documents, from UTF-8 sources into code page 936, the code page the help viewer and
# Notepad read them in on a Chinese Windows. iconv fails the build on a character that code page 936
# cannot hold.
#   build-docs.sh help SOURCE_DIR WORK_DIR OUTPUT_CHM   docs/help compiled with chmcmd
#   build-docs.sh changelog SOURCE OUTPUT               the version history, with CR LF line ends
set -euo pipefail

help() {
  local src=$1 work=$2 out=$3 file name
  rm -rf "$work"
  mkdir -p "$work"
  for file in "$src"/*; do
    name=$(basename "$file")
    case "$name" in
      # Pages declare their character set: it changes with the bytes.
      *.html|*.hhc|*.hhp)
        sed 's/charset=utf-8/charset=gb2312/' "$file" | iconv -f UTF-8 -t CP936 >"$work/$name" ;;
      *) cp "$file" "$work/$name" ;;
    esac
  done
  (cd "$work" && chmcmd --no-html-scan LorvexHelp.hhp >chmcmd.log 2>&1) || { cat "$work/chmcmd.log" >&2; exit 1; }
  cp "$work/LorvexHelp.chm" "$out"
}

changelog() {
  local src=$1 out=$2
  sed 's/\r$//; s/$/\r/' "$src" | iconv -f UTF-8 -t CP936 >"$out.tmp"
  mv "$out.tmp" "$out"
}

mode=$1
shift
case "$mode" in
  help) help "$@" ;;
  changelog) changelog "$@" ;;
  *) echo "build-docs.sh: unknown mode $mode" >&2; exit 2 ;;
esac
