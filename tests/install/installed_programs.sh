#!/usr/bin/env bash
# installed_programs.sh BUILD_DIR: installs the build into a fresh prefix and runs what was
# installed from elsewhere, as a user would: the demos through their links in bin/ (each must find
# its own files, so the model demos end with 0 instead of the load-failure message) and the tools
# (xmesh-view as the thumbnailer entry calls it, with no display at all).
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

"$prefix/bin/xmesh-info" --tsv "$prefix/lib/ninefold-demos/airplane 2.x" >/dev/null

thumbnailer="$prefix/share/thumbnailers/xmesh-view.thumbnailer"
grep -qx 'Exec=xmesh-view --png %o --size %sx%s %i' "$thumbnailer"
grep -q 'type="model/x-directx"' "$prefix/share/mime/packages/xmesh-view.xml"
thumbnail="$prefix/thumbnail"  # thumbnailers name the output without an extension
env -u DISPLAY -u WAYLAND_DISPLAY -u WIN32_STANDIN_BACKEND \
  "$prefix/bin/xmesh-view" --png "$thumbnail" --size 128x128 "$prefix/lib/ninefold-demos/airplane 2.x"
if [ "$(head -c 8 "$thumbnail" | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
  echo "installed xmesh-view wrote no PNG" >&2
  exit 1
fi
echo "installed programs run from $prefix"
