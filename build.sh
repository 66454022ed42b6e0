#!/usr/bin/env bash
# Sets up a Debian 12 machine for the project, builds it, and runs the tool or the tests.
#   ./build.sh          set up and build
#   ./build.sh test     set up, build and run the whole test suite
#   ./build.sh run      set up, build and start the tool against the simulated unit
#   ./build.sh bench    set up, build and run the benchmarks
#   ./build.sh tsan     build the engine tests with ThreadSanitizer into build-tsan and run them
#   ./build.sh package  set up, build and make the Debian package build/sendibox-config_*.deb
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libgtest-dev
          libgmock-dev libbenchmark-dev nlohmann-json3-dev clang-format xvfb xauth)

need_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        need_root apt-get update -qq
        need_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    fi
}

build() {
    local dir=$1; shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)" ${TARGETS:+--target $TARGETS}
}

cmd=${1:-build}
install_packages
case "$cmd" in
    build)
        build build
        ;;
    test)
        build build
        QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 120
        ;;
    tsan)
        build build-tsan -DSENDIBOX_SANITIZE=thread -DSENDIBOX_BUILD_BENCH=OFF
        QT_QPA_PLATFORM=offscreen TSAN_OPTIONS=halt_on_error=1 \
            ctest --test-dir build-tsan --output-on-failure -j"$(nproc)" -R '^(engine|core|vt_list)\.'
        ;;
    bench)
        build build
        for b in build/bench/bench_*; do [ -x "$b" ] && "$b"; done
        ;;
    package)
        build build
        (cd build && cpack -G DEB)
        ;;
    run)
        # Only what the demo runs: the tool (with its manuals) and the simulated unit.
        TARGETS="sendibox-config sendibox-unitsim" build build
        if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
            echo "No display: the tool is a desktop program. Run it from a desktop session." >&2
            exit 1
        fi
        # The demo unit runs on a copy of its state, so trying the tool never changes data/.
        demo=$(mktemp -d)
        cp data/unit-demo.json "$demo/unit.json"
        build/tools/unitsim/sendibox-unitsim --link "$demo/sendibox-unit" --state "$demo/unit.json" \
            --baud 57600 >/dev/null &
        sim=$!
        trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$demo"' EXIT
        for _ in $(seq 50); do [ -e "$demo/sendibox-unit" ] && break; sleep 0.1; done
        echo "Simulated demo unit on $demo/sendibox-unit (selected in the port box): press Connect."
        build/source/ui/sendibox-config --port "$demo/sendibox-unit"
        ;;
    *)
        echo "usage: $0 [build|test|run|bench|tsan|package]" >&2
        exit 2
        ;;
esac
