#!/usr/bin/env bash
# Installs every package the build and the tests need, on Debian 12 as root.
# Skips whatever is already present, so a prepared machine pays nothing.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="${DEPS_DIR:-$here/.deps}"

need_pkgs=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }
for p in wine wine32:i386 wine64 g++-mingw-w64-i686-posix xvfb xauth libz-mingw-w64-dev \
         rapidjson-dev libstb-dev imagemagick googletest xdotool xcompmgr fontconfig cmake make bzip2 xz-utils \
         fonts-wqy-microhei; do
  have "$p" || need_pkgs+=("$p")
done

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

if [ ${#need_pkgs[@]} -gt 0 ]; then
  echo "[install] installing: ${need_pkgs[*]}"
  dpkg --print-foreign-architectures | grep -q i386 || sudo_ dpkg --add-architecture i386
  sudo_ apt-get update -q
  DEBIAN_FRONTEND=noninteractive sudo_ apt-get install -y -q --no-install-recommends "${need_pkgs[@]}"
fi

# Sources that Debian ships in no mingw package come from Debian's source packages: minizip's
# reader (in zlib's) and the libdeflate decompressor.
have_sources() {
  ls "$deps"/zlib-*/contrib/minizip/unzip.c "$deps"/libdeflate-*/lib/deflate_decompress.c >/dev/null 2>&1
}
fetch_source() {  # package name: downloads and unpacks its original sources into $deps
  (cd "$deps" && apt-get source --download-only "$1" >/dev/null && tar xf "$1"_*.orig.tar.*)
}
if ! have_sources; then
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ /etc/apt/sources.list 2>/dev/null; then
    # Reuse the archive URI this machine already trusts for binary packages.
    uri=$(grep -hs -A3 '^Types: deb$' /etc/apt/sources.list.d/*.sources 2>/dev/null \
          | sed -n 's/^URIs:[[:space:]]*//p' | grep -v security | head -1)
    [ -n "$uri" ] || uri=$(sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\)[[:space:]]\+bookworm[[:space:]].*/\2/p' \
                          /etc/apt/sources.list 2>/dev/null | head -1)
    [ -n "$uri" ] || { echo "[install] no Debian archive URI found in the apt sources" >&2; exit 1; }
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' "$uri" \
      | sudo_ tee /etc/apt/sources.list.d/ombrel-debian-src.sources >/dev/null
    sudo_ apt-get update -q
  fi
  mkdir -p "$deps"
  ls "$deps"/zlib-*/contrib/minizip/unzip.c >/dev/null 2>&1 || fetch_source zlib
  ls "$deps"/libdeflate-*/lib/deflate_decompress.c >/dev/null 2>&1 || fetch_source libdeflate
fi
echo "[install] dependencies ready"
