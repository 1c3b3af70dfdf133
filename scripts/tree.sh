# Sourced by scripts/build, test and demo: the tree that the environment
# chooses, BUILD_DIR when it is set.
tree_dir() {
  if [ -n "${BUILD_DIR:-}" ]; then
    echo "$BUILD_DIR"
  elif [ "${NORVIK_SANITIZE:-0}" = thread ]; then
    echo build-tsan
  elif [ "${NORVIK_SANITIZE:-0}" != 0 ]; then
    echo build-asan
  elif [ "${NORVIK_COMPILER:-gcc}" = clang ]; then
    echo build-clang
  else
    echo build
  fi
}
