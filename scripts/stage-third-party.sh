#!/usr/bin/env bash
# Stages the third-party sources and headers the build uses into a folder of the build tree:
#   <dest>/include/rapidjson, <dest>/include/stb   headers from rapidjson-dev and libstb-dev
#                                                  (stb_image.h to decode, stb_image_write.h to encode)
#   <dest>/minizip                                 minizip's unzip layer from Debian's zlib sources
# /usr/include itself is never put on a MinGW include path: Linux headers would shadow MinGW's.
# Idempotent; nothing here is ever committed.
set -euo pipefail
dest="$1"
mkdir -p "$dest/include"

if [ ! -f "$dest/include/rapidjson/document.h" ]; then
  cp -r /usr/include/rapidjson "$dest/include/"
fi
for header in stb_image.h stb_image_write.h; do
  if [ ! -f "$dest/include/stb/$header" ]; then
    mkdir -p "$dest/include/stb"
    cp "/usr/include/stb/$header" "$dest/include/stb/"
  fi
done

if [ ! -f "$dest/minizip/unzip.c" ]; then
  work="$dest/zlib-source"
  rm -rf "$work" && mkdir -p "$work"
  # A mirror may list a source version it no longer serves (a security update, say): try the
  # newest first, then every other version the source lists know.
  fetched=0
  for version in "" $(apt-cache showsrc zlib 2>/dev/null | sed -n 's/^Version: //p' | sort -r -u); do
    spec=zlib${version:+=$version}
    if (cd "$work" && apt-get source -qq "$spec" >/dev/null 2>&1); then
      fetched=1
      break
    fi
    rm -rf "${work:?}"/*
  done
  if [ $fetched = 0 ]; then
    echo "stage-third-party: 'apt-get source zlib' failed; run scripts/install-deps.sh first" >&2
    exit 1
  fi
  src=$(find "$work" -maxdepth 4 -type d -path '*contrib/minizip' | head -n 1)
  [ -n "$src" ] || { echo "stage-third-party: no contrib/minizip in zlib's sources" >&2; exit 1; }
  mkdir -p "$dest/minizip"
  cp "$src"/unzip.c "$src"/unzip.h "$src"/ioapi.c "$src"/ioapi.h "$src"/crypt.h "$dest/minizip/"
  rm -rf "$work"
fi
