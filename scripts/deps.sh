#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -eu
packages=(cmake ninja-build g++ libgtest-dev libbenchmark-dev g++-mingw-w64-x86-64-posix wine wine64
  locales xvfb imagemagick fonts-noto-cjk python3-jsonschema clang-format)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# Wine runs the Windows builds in a Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
# The SARIF 2.1.0 schema that tests/cli/formats_test.sh validates nokari-check's logs against,
# as the npm package @microsoft/jest-sarif ships it.
sarif_package=@microsoft/jest-sarif@1.0.0-beta.0
if ! [ -s "$(npm root -g 2>/dev/null)/@microsoft/jest-sarif/lib/schemas/sarif-2.1.0-rtm.5.json" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if ! command -v npm >/dev/null; then
    echo "installing: nodejs npm"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq nodejs >/dev/null
    # Debian's own nodejs comes without npm.
    command -v npm >/dev/null ||
      DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq npm >/dev/null
  fi
  echo "installing: $sarif_package (npm)"
  $sudo npm install -g --no-fund --no-audit --loglevel=error "$sarif_package" >/dev/null
fi
# The SARIF multitool (a self-contained binary) that tests/cli/formats_test.sh validates the logs
# with, GitHub's code-scanning rules included.
multitool_package=@microsoft/sarif-multitool-linux@5.7.0
if ! [ -x "$(npm root -g 2>/dev/null)/@microsoft/sarif-multitool-linux/Sarif.Multitool" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "installing: $multitool_package (npm)"
  $sudo npm install -g --no-fund --no-audit --loglevel=error "$multitool_package" >/dev/null
fi
