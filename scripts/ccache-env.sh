# Sourced by the build scripts: compiles through ccache (Debian's) when it is installed, so that a
# second build of the same sources in the same folder (the test command run again, a fresh clone
# where the last one was) takes its objects from the cache (~/.cache/ccache) instead of compiling
# them again. ccache is not told a base folder: it would hand the compiler relative paths, which
# -ffile-prefix-map (CMakeLists.txt) leaves in the debug information as "../src/...", and an
# object from the cache would then differ from one compiled afresh. CCACHE_DISABLE=1 compiles
# everything afresh.
#   cmake ... "${launcher[@]}"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
