#!/usr/bin/env bash
# installed_programs.sh BUILD_DIR: installs the build into a fresh prefix and runs what was
# installed from elsewhere, as a user would: the demos through their links in bin/ (each must find
# its own files, so the model demos end with 0 instead of the load-failure message) and the tools.
set -euo pipefail
build=$1
prefix=$(mktemp -d /tmp/install-test.XXXXXX)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
cd /

for program in shapes-demo airplane-demo spaceship-demo; do
  if ! WIN32_STANDIN_BACKEND=headless WIN32_STANDIN_ESCAPE_AT=3 "$prefix/bin/$program"; then
    echo "installed $program did not run to its end" >&2
    exit 1
  fi
done

"$prefix/bin/xmesh-info" --tsv "$prefix/lib/directx-demos/airplane 2.x" >/dev/null
echo "installed programs run from $prefix"
