#!/usr/bin/env bash
# Installs what the project needs when it is missing: the Debian packages of
# tools/debian-packages.txt and the npm test tools of tests/package.json.
# Quick when everything is present.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done < tools/debian-packages.txt
command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)

if ((${#missing[@]})); then
  echo "Installing Debian packages: ${missing[*]}"
  sudo=""; [[ $(id -u) -ne 0 ]] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y --no-install-recommends "${missing[@]}" \
    || { $sudo apt-get update && $sudo apt-get install -y --no-install-recommends "${missing[@]}"; }
fi

if [[ ! -d tests/node_modules/swf-parser ]] || [[ tests/package-lock.json -nt tests/node_modules/.package-lock.json ]]; then
  (cd tests && npm ci --no-audit --no-fund --loglevel=error)
fi
