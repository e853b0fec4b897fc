# Shared by scripts/test and scripts/run: the packages the project needs and the build.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD_DIR="${QBANK_BUILD_DIR:-$ROOT/build}"

PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libqt6sql6-sqlite libqt6sql6-psql
          libboost1.81-dev libssl-dev libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-wqy-microhei)
# Wanted but not required: the server's PostgreSQL test skips without a cluster, the load
# benchmark needs wrk, and the window test at fractional pixel ratios needs a real X server
# (xvfb). A failed install of these does not stop the build.
OPTIONAL_PACKAGES=(postgresql wrk xvfb)

missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

ensure_packages() {
  local missing optional
  missing=$(missing_packages "${PACKAGES[@]}" | tr '\n' ' ')
  optional=$(missing_packages "${OPTIONAL_PACKAGES[@]}" | tr '\n' ' ')
  if [ "$(id -u)" -eq 0 ] && [ -n "${optional// /}" ]; then
    export DEBIAN_FRONTEND=noninteractive
    # shellcheck disable=SC2086
    { apt-get update -qq && apt-get install -y -qq $optional >/dev/null; } \
      || echo "Could not install the optional packages ($optional); continuing without them." >&2
  fi
  [ -z "${missing// /}" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run this as root, then try again:" >&2
    echo "  apt-get update && apt-get install -y $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq $missing >/dev/null
}

# --sanitize: the address and undefined-behaviour sanitizers, in a build folder of their own.
SANITIZE=0
parse_build_flags() {
  local arg
  for arg in "$@"; do
    case "$arg" in
      --sanitize) SANITIZE=1 ;;
      *) echo "unknown option: $arg" >&2; exit 2 ;;
    esac
  done
  if [ "$SANITIZE" -eq 1 ]; then
    BUILD_DIR="${QBANK_SANITIZE_BUILD_DIR:-$ROOT/build-sanitize}"
    # Leaks are found: every test binary (and the app and server it starts) ends with nothing of
    # ours left allocated. docs/testing.md says how to read a report.
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  fi
}

build_all() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  local launcher=()
  command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  local sanitize=(-DQBANK_SANITIZE=OFF)
  [ "$SANITIZE" -eq 1 ] && sanitize=(-DQBANK_SANITIZE=ON -DQBANK_PARTS="platform;resources;server;components;appbase;practice;browse;shell")
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "${sanitize[@]}" "$@"
  cmake --build "$BUILD_DIR" -j "$jobs"
}
