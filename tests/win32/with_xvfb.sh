#!/usr/bin/env bash
# Runs a test program on a private Xvfb (scripts/xsession.sh), for tests of the X11 code that
# need a server but no window manager. Skips (77) when Xvfb is not installed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
command -v Xvfb >/dev/null || {
  echo "SKIP: Xvfb is not installed (scripts/install-deps)" >&2
  exit 77
}
source "$here/../../scripts/xsession.sh"
trap xs_cleanup EXIT
xs_start_display
"$@"
