# Shared by scripts/test and scripts/run: the packages the project needs and the build.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD_DIR="${QBANK_BUILD_DIR:-$ROOT/build}"

PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libqt6sql6-sqlite libqt6sql6-psql
          libcpp-httplib-dev libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-wqy-microhei)
# Wanted but not required: the server's PostgreSQL test skips without a cluster, and the
# load benchmark needs wrk. A failed install of these does not stop the build.
OPTIONAL_PACKAGES=(postgresql wrk)

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

build_all() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$BUILD_DIR" -j "$jobs"
}
