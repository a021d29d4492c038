# Sourced by the build scripts: compiles through ccache (Debian's) when it is installed, so that a
# build of sources compiled before, in this clone or in another anywhere on the machine (the test
# command run again, CI's fresh clone), takes its objects from the cache (~/.cache/ccache) instead
# of compiling them again. The cache is told the clone's folder as its base: it hashes, and hands
# the compiler, paths relative to the build folder, which CMakeLists.txt maps to the names an
# uncached build gives, so that an object from the cache is the one a compiler would make here.
# CCACHE_DISABLE=1 compiles everything afresh.
#   cmake ... "${launcher[@]}"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
fi
