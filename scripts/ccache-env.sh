# Sourced by the build scripts: compiles through ccache (Debian's) when it is installed, so that a
# second build of the same sources, in this clone or in a fresh one, takes its objects from the
# cache (~/.cache/ccache) instead of compiling them again. The compiler is given paths relative to
# the clone (-ffile-prefix-map, CMakeLists.txt), and ccache is told where the clone is, so that
# clones in other folders share the cache. CCACHE_DISABLE=1 compiles everything afresh.
#   cmake ... "${launcher[@]}"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$root"
  # The same object from two folders' compilations: the folder is not part of what is hashed.
  export CCACHE_NOHASHDIR=1
fi
