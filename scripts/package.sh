#!/usr/bin/env bash
# Builds the Debian package from the normal build, installs it on this machine and checks that
# its tools run on the installed example map.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
(cd "$BUILD_DIR" && rm -f mvx-configurator_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$BUILD_DIR"/mvx-configurator_*.deb)
echo "package: $deb"
dpkg-deb --info "$deb" | grep -E 'Package|Version|Depends'
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --reinstall "$(realpath "$deb")" >/dev/null
for tool in /usr/bin/mvx-configurator /usr/bin/mvxctl /usr/bin/mvx-drive-sim \
            /usr/share/applications/mvx-configurator.desktop; do
  test -e "$tool" || { echo "package: $tool is missing" >&2; exit 1; }
done
/usr/bin/mvxctl check-map /usr/share/mvx-configurator/examples/drive-map.xml --json >/dev/null
/usr/bin/mvxctl check-test /usr/share/mvx-configurator/examples/production-test.xml >/dev/null 2>&1
/usr/bin/mvx-drive-sim --help >/dev/null
echo "package: installed and its tools run"
