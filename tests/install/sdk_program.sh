#!/usr/bin/env bash
# sdk_program.sh BUILD_DIR SOURCE_DIR PROGRAM.cpp CXX [FLAGS]: installs the dev component into a fresh
# prefix and builds PROGRAM.cpp outside the tree against what was installed, both ways a user would:
# the pkg-config one-liner and a CMakeLists.txt with find_package(Ninefold), with the build's C++
# compiler and FLAGS (the sanitizers of a sanitizer build). Each program must run headless and
# write its first frame with the capture (which also ends it). The installed headers must be
# exactly the public ones.
set -euo pipefail
build=$1 source_dir=$2 program_source=$3 cxx=$4 flags=${5:-}
work=$(mktemp -d /tmp/sdk-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" --component dev >/dev/null

if ! diff <(cd "$source_dir/platform/include" && find . | sort) <(cd "$prefix/include/ninefold" && find . | sort); then
  echo "the installed headers are not exactly platform/include" >&2
  exit 1
fi

mkdir "$work/src"
cp "$program_source" "$work/src/program.cpp"
cd "$work/src"

# shellcheck disable=SC2046,SC2086  # the flags are meant to split
"$cxx" $flags program.cpp $(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs ninefold) -o program-pc

cat >CMakeLists.txt <<'CMAKE'
cmake_minimum_required(VERSION 3.22)
project(program CXX)
find_package(Ninefold CONFIG REQUIRED)
add_executable(program-cmake program.cpp)
target_link_libraries(program-cmake PRIVATE Ninefold::ninefold)
CMAKE
cmake -S . -B build -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build build >/dev/null

for program in ./program-pc ./build/program-cmake; do
  rm -f frame.png
  WIN32_STANDIN_BACKEND=headless WIN32_STANDIN_CAPTURE="$work/src/frame.png" timeout 60 "$program"
  if [ "$(head -c 8 frame.png 2>/dev/null | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
    echo "$program, built against the installed platform, wrote no PNG" >&2
    exit 1
  fi
done
echo "$(basename "$program_source") builds and runs against the platform installed in $prefix"
