#!/usr/bin/env bash
# Builds Tavrel for 64-bit Windows on Debian 12 and writes dist/tavrel-<version>-setup.exe.
#
# Everything comes from Debian: the MinGW-w64 cross compilers, Wine and NSIS as packages, and
# Qt, libzip, QCustomPlot and GoogleTest built for Windows from Debian's own source packages
# into a cache (~/.cache/tavrel-windows, or $TAVREL_WINDOWS_CACHE) that later runs reuse.
# The first run takes about 40 minutes on two cores (Qt is most of it); later runs, minutes.
# The tests run under Wine; the installer is installed and removed silently under Wine too.
set -euo pipefail
[[ "${LC_ALL:-${LANG:-}}" == *UTF-8* ]] || export LC_ALL=C.UTF-8

root="$(cd "$(dirname "$0")/.." && pwd)"
cache="${TAVREL_WINDOWS_CACHE:-$HOME/.cache/tavrel-windows}"
prefix="$cache/prefix"          # everything built for Windows is installed here
jobs="$(nproc)"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
export TAVREL_WINDOWS_PREFIX="$prefix"
mkdir -p "$cache/src" "$prefix"

step() { printf '\n== %s\n' "$*"; }
sudo=; [ "$(id -u)" -eq 0 ] || sudo=sudo

# --- Debian packages --------------------------------------------------------------------------
step "Debian packages"
bash "$root/scripts/setup.sh"          # the host's Qt tools (moc, rcc, uic) and the Linux build
packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev wine64 fonts-wine nsis
          ninja-build dpkg-dev xz-utils imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Source packages need a deb-src entry beside the binary one, with the same archive and key.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  step "Enabling Debian's source packages"
  $sudo tee /etc/apt/sources.list.d/tavrel-deb-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  $sudo apt-get update -qq
fi

# Unpacks Debian's source package $1 into $cache/src/$1 (once) and prints that folder; with
# Debian's patches applied, unless $2 is --skip-patches (Qt's are for Linux distributions).
debian_source() {
  local name="$1" dir="$cache/src/$1"
  if [ ! -f "$dir/.unpacked" ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && apt-get source -qq --download-only "$name" >&2 && dpkg-source -x ${2:-} ./*.dsc tree >&2)
    touch "$dir/.unpacked"
  fi
  echo "$dir/tree"
}

# --- Qt -------------------------------------------------------------------------------------
# The host's Qt version, so that the host's moc, rcc and uic serve the cross build.
if [ ! -f "$prefix/.qt-done" ]; then
  step "Qt for Windows (about 26 minutes on two cores, once)"
  qtsrc="$(debian_source qt6-base --skip-patches)"
  rm -rf "$cache/build-qt" && mkdir -p "$cache/build-qt"
  (cd "$cache/build-qt" && "$qtsrc/configure" -prefix "$prefix" -xplatform win32-g++ -qt-host-path /usr \
      -release -shared -nomake examples -nomake tests -no-opengl -no-dbus -no-pkg-config -no-icu \
      -no-zstd -no-feature-sql -no-feature-tabletevent -no-feature-vulkan -schannel -no-openssl \
      -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion \
      -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >"$cache/qt-configure.log" 2>&1 \
    || { tail -40 "$cache/qt-configure.log"; exit 1; })
  nice cmake --build "$cache/build-qt" --parallel "$jobs" >"$cache/qt-build.log" 2>&1 \
    || { tail -40 "$cache/qt-build.log"; exit 1; }
  cmake --install "$cache/build-qt" >/dev/null
  rm -rf "$cache/build-qt"
  touch "$prefix/.qt-done"
fi

# --- libzip, QCustomPlot, GoogleTest ----------------------------------------------------------
cross_cmake() {   # source build-folder options...
  local src="$1" build="$2"
  shift 2
  rm -rf "$build"
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" "$@" >"$build.log" 2>&1 \
    && nice cmake --build "$build" --parallel "$jobs" >>"$build.log" 2>&1 \
    && cmake --install "$build" >>"$build.log" 2>&1 \
    || { tail -40 "$build.log"; exit 1; }
  rm -rf "$build"
}
if [ ! -f "$prefix/.libzip-done" ]; then
  step "libzip for Windows"
  cross_cmake "$(debian_source libzip)" "$cache/build-libzip" -DBUILD_SHARED_LIBS=ON -DBUILD_TOOLS=OFF \
    -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
    -DENABLE_ZSTD=OFF -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF \
    -DENABLE_WINDOWS_CRYPTO=ON
  touch "$prefix/.libzip-done"
fi
if [ ! -f "$prefix/.qcustomplot-done" ]; then
  step "QCustomPlot for Windows"
  cross_cmake "$(debian_source qcustomplot)" "$cache/build-qcustomplot" -DUSE_QT_VERSION=6
  touch "$prefix/.qcustomplot-done"
fi
if [ ! -f "$prefix/.googletest-done" ]; then
  step "GoogleTest for Windows"
  cross_cmake "$(debian_source googletest)" "$cache/build-googletest" -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=OFF
  touch "$prefix/.googletest-done"
fi
# Eigen and Boost.Math are headers alone: the host's serve, seen through a folder that holds
# nothing else (the host's /usr/include would put glibc's headers before MinGW's).
mkdir -p "$cache/host-headers"
ln -sfn /usr/include/boost "$cache/host-headers/boost"

# --- The Linux build: the template packer, the icon and the manual, and the outputs the
# Windows build must match --------------------------------------------------------------------
host="$root/build-windows-host"
step "Tavrel for Linux (tools, manual, reference outputs)"
cmake -S "$root" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVREL_BENCH=OFF >/dev/null
nice cmake --build "$host" --parallel "$jobs" --target tavrel-pack-template tavrel-cli tavrel-cli-charts \
  tavrel-icons tavrel-manual
manual="$host/src/软件说明书 Tavrel.pdf"
icon="$host/tavrel.ico"
# A Windows icon holds the drawn sizes as PNG images (Windows Vista and later read them).
python3 - "$host/packaging/icons" "$icon" <<'PY'
import struct, sys
folder, out = sys.argv[1], sys.argv[2]
sizes = [16, 24, 32, 48, 64, 128, 256]
images = [open(f"{folder}/{s}x{s}/apps/tavrel.png", "rb").read() for s in sizes]
offset = 6 + 16 * len(sizes)
head = struct.pack("<HHH", 0, 1, len(sizes))
entries = b""
for size, data in zip(sizes, images):
    entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
open(out, "wb").write(head + entries + b"".join(images))
PY

# --- Tavrel for Windows -------------------------------------------------------------------------
build="$root/build-windows"
step "Tavrel for Windows"
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"   # the Windows libzip, not the host's
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_PREFIX_PATH="$prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DEigen3_DIR=/usr/share/eigen3/cmake -DBoost_INCLUDE_DIR="$cache/host-headers" -DBoost_NO_BOOST_CMAKE=ON \
  -DTAVREL_HOST_TOOLS="$host/src" -DTAVREL_WINDOWS_ICON="$icon" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" >/dev/null
nice cmake --build "$build" --parallel "$jobs"

# --- The tests, under Wine ---------------------------------------------------------------------
step "The tests under Wine"
export TAVREL_WINDOWS_CACHE="$cache"
# The Wine desktop needs a display of its own; the tests draw offscreen but Wine still asks.
# (The window tests are left out: they assume Linux paths and fonts; see the README.)
xvfb-run -a -s "-screen 0 1280x800x24" ctest --test-dir "$build" --output-on-failure -j1 -E '^ui$'


# --- The program folder -------------------------------------------------------------------------
step "The program folder"
dist="$build/install-root"
rm -rf "$dist" && mkdir -p "$dist"
strip=x86_64-w64-mingw32-strip
search=("$prefix/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
cp "$build/src/tavrel.exe" "$build/src/tavrel-cli.exe" "$build/src/tavrel-cli-charts.exe" "$dist/"
for kind in platforms/qwindows styles/qwindowsvistastyle tls/qschannelbackend imageformats/qjpeg \
            imageformats/qgif imageformats/qico; do
  mkdir -p "$dist/plugins/$(dirname "$kind")"
  cp "$prefix/plugins/$kind.dll" "$dist/plugins/$kind.dll"
done
# Every DLL that a program or plugin names, and those they name in turn, from the Windows
# libraries and the MinGW runtime (the system's own DLLs are not found there and stay out).
changed=1
while [ "$changed" = 1 ]; do
  changed=0
  while IFS= read -r dll; do
    [ -f "$dist/$dll" ] && continue
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then cp "$dir/$dll" "$dist/"; changed=1; break; fi
    done
  done < <(find "$dist" -name '*.exe' -o -name '*.dll' | xargs -d '\n' x86_64-w64-mingw32-objdump -p \
           | sed -n 's/^\s*DLL Name: //p' | sort -u)
done
find "$dist" \( -name '*.exe' -o -name '*.dll' \) -exec "$strip" --strip-unneeded {} +
printf '[Paths]\r\nPrefix=.\r\nPlugins=plugins\r\nTranslations=translations\r\n' > "$dist/qt.conf"
mkdir -p "$dist/translations"
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$dist/translations/"
cp "$manual" "$dist/"
cp "$root/packaging/debian/copyright" "$dist/copyright.txt"

# --- The installer ------------------------------------------------------------------------------
step "The installer"
version="$(sed -n 's/^project(Tavrel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
mkdir -p "$root/dist"
setup="$root/dist/tavrel-$version-setup.exe"
filelist="$build/uninstall-files.nsh"
(cd "$dist" && find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|'
 cd "$dist" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|') > "$filelist"
cp "$icon" "$build/tavrel.ico"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DROOT="$dist" -DOUTFILE="$setup" -DFILELIST="$filelist" \
  "$root/packaging/windows/tavrel.nsi"
size=$(stat -c %s "$setup")
echo "$setup: $((size / 1024 / 1024)) MB"
[ "$size" -le $((30 * 1024 * 1024)) ] || { echo "the installer is larger than 30 MB"; exit 1; }

# --- Installed under Wine: the same files as the Linux build, then removed ----------------------
step "Installing under Wine"
export WINEPREFIX="$cache/wineprefix-install"
rm -rf "$WINEPREFIX"
"$root/scripts/wine-run.sh" "$setup" /S
/usr/lib/wine/wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/芝加哥雨型"
for f in tavrel.exe tavrel-cli.exe tavrel-cli-charts.exe "软件说明书 Tavrel.pdf" 卸载.exe; do
  [ -f "$installed/$f" ] || { echo "not installed: $f"; exit 1; }
done
[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/芝加哥雨型.lnk" ] \
  || { echo "no Start-menu entry"; exit 1; }
cli_wrapper="$build/installed-cli.sh"
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$root/scripts/wine-run.sh" "$installed/tavrel-cli.exe" > "$cli_wrapper"
chmod +x "$cli_wrapper"
step "Every format from the installed tavrel-cli.exe against the Linux build"
bash "$root/tools/write-outputs.sh" "$host" "$build/outputs-linux"
xvfb-run -a env TAVREL_CLI="$cli_wrapper" bash "$root/tools/write-outputs.sh" "$host" "$build/outputs-windows"
COMPARE_PICTURES=0 bash "$root/tools/compare-outputs.sh" "$build/outputs-linux" "$build/outputs-windows"

step "The installed window under Wine (a screenshot: $build/window.png)"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  "$1" "$2" & sleep 25; import -window root "$3"; /usr/lib/wine/wineserver -k' _ \
  "$root/scripts/wine-run.sh" "$installed/tavrel.exe" "$build/window.png"

step "Uninstalling under Wine"
# _?= keeps the uninstaller in place, so that it is finished when it returns.
"$root/scripts/wine-run.sh" "$installed/卸载.exe" /S "_?=C:\\Program Files\\芝加哥雨型"
/usr/lib/wine/wineserver -w
rm -f "$installed/卸载.exe"; rmdir "$installed" 2>/dev/null || true
[ ! -e "$installed" ] || { echo "the uninstaller left files:"; find "$installed"; exit 1; }
[ ! -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/芝加哥雨型.lnk" ] \
  || { echo "the Start-menu entry is left"; exit 1; }

step "Done"
echo "$setup"
