#!/usr/bin/env bash
# Sets up a Debian 12 machine for the project, builds it, and runs the tool or the tests.
#   ./build.sh          set up and build
#   ./build.sh test     set up, build and run the whole test suite
#   ./build.sh run      set up, build and start the tool against the simulated unit
#   ./build.sh bench    set up, build and run the benchmarks
#   ./build.sh asan     build the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer
#                       into build-asan and run it; any report fails the run
#   ./build.sh tsan     build the whole suite with ThreadSanitizer into build-tsan and run it
#   ./build.sh fuzz [S] build the fuzz harnesses with clang and libFuzzer into build-fuzz and fuzz
#                       each for S seconds (default 60)
#   ./build.sh package  set up, build and make the Debian packages build/sendibox-config_*.deb
#                       (the tool) and build/sendibox-unitsim_*.deb (the simulated unit), then
#                       check them with lintian, appstreamcli and desktop-file-validate. The
#                       maintainer is "$DEBFULLNAME <$DEBEMAIL>" when both are set.
#   ./build.sh windows  cross-build the core, the command line and their tests for Windows
#                       (mingw-w64) into build-windows and run them under Wine against
#                       simulated units mapped as COM ports, then a command-line round trip
set -euo pipefail
cd "$(dirname "$0")"

# qt6-translations-l10n: Qt's own texts (standard buttons, file dialogs) in the user's language.
PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libgtest-dev
          libgmock-dev libbenchmark-dev nlohmann-json3-dev clang-format xvfb xauth
          qt6-translations-l10n)

need_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Only the fuzz target needs clang and libFuzzer (libclang-rt-dev brings the version's runtime).
FUZZ_PACKAGES=(clang libclang-rt-dev)
# Only the package target needs the packaging tools and the checkers.
PACKAGE_TOOLS=(dpkg-dev lintian appstream desktop-file-utils)
# Only the Windows target needs the cross compiler and Wine; their recommendations (32-bit
# Wine, fonts) are not needed to run console programs.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 wine)

install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        need_root apt-get update -qq
        need_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ${APT_OPTIONS:-} \
            "${missing[@]}"
    fi
}

build() {
    local dir=$1; shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSENDIBOX_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)" ${TARGETS:+--target $TARGETS}
}

# Runs each harness for $1 seconds on a working corpus seeded from the kept one, then prints
# what each did: executions, executions a second, and how long ten million would take.
fuzz() {
    local seconds=$1 summary=() failed=()
    # Every harness keeps a corpus folder of its own, which also names it.
    for folder in tests/fuzz/corpus/*/; do
        local harness
        harness=$(basename "$folder")
        local corpus=build-fuzz/corpus/$harness log=build-fuzz/fuzz-$harness.log
        mkdir -p "$corpus"
        cp -n tests/fuzz/corpus/"$harness"/* "$corpus"/
        echo "Fuzzing $harness for ${seconds}s"
        # The file readers get each input as a file: in memory where the machine has it.
        TMPDIR=$([ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}") \
            ASAN_OPTIONS=halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
            build-fuzz/tests/fuzz/fuzz_"$harness" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix=build-fuzz/"$harness"- "$corpus" >"$log" 2>&1 || {
            tail -n 40 "$log"
            echo "fuzz_$harness found a failure; the input is in build-fuzz/$harness-*" >&2
            failed+=("$harness")
            continue
        }
        local runs rate
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
        summary+=("$(printf '%-16s %12s runs %9s/s   10 million in %s s' "$harness" "$runs" \
                    "$rate" "$(( rate > 0 ? 10000000 / rate : 0 ))")")
    done
    printf '%s\n' "${summary[@]}"
    if [ ${#failed[@]} -gt 0 ]; then
        echo "Failures found by: ${failed[*]}" >&2
        return 1
    fi
}

# The Wine prefix of the Windows build, made once, with a server that stays up until the run
# ends: it spares every Windows program (the test discovery at build time included) its Wine
# start.
WINE=/usr/lib/wine/wine64
start_wine() {
    [ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
    export WINEPREFIX=$PWD/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    # A server left from an earlier run (or one that is not persistent) makes way first.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1
    # Makes the prefix when it is missing, and starts the session's services before the
    # tests: a test program that is the first of the session can hang on its way out.
    "$WINE" wineboot >/dev/null 2>&1
}

# Runs the Windows build's tests and a sendibox-cli.exe read, write and read back under Wine,
# against simulated units on Linux pseudo-terminals that the Wine prefix maps as COM5 (a unit
# that answers) and COM6 (a unit that drops its line after one command).
windows_tests() {
    # Global, for the clean-up at exit.
    work=$(mktemp -d)
    sims=()
    cleanup() {
        for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
        rm -rf "$work"
        wineserver -k >/dev/null 2>&1 || true
    }
    trap cleanup EXIT
    cp data/unit-demo.json "$work/unit.json"
    build/tools/unitsim/sendibox-unitsim --link "$work/unit" --state "$work/unit.json" >/dev/null &
    sims+=($!)
    build/tools/unitsim/sendibox-unitsim --link "$work/hangup" --hangup-after 1 >/dev/null &
    sims+=($!)
    for _ in $(seq 100); do [ -e "$work/unit" ] && [ -e "$work/hangup" ] && break; sleep 0.1; done
    ln -sfn "$work/unit" "$WINEPREFIX/dosdevices/com5"
    ln -sfn "$work/hangup" "$WINEPREFIX/dosdevices/com6"

    SENDIBOX_TEST_UNIT_PORT=COM5 SENDIBOX_TEST_HANGUP_PORT=COM6 \
        ctest --test-dir build-windows --output-on-failure -j"$(nproc)" --timeout 120

    echo "Command-line round trip on COM5"
    local cli=build-windows/source/cli/sendibox-cli.exe
    "$WINE" "$cli" read --port COM5 --profile "$work/before.pof"
    # A text the demo unit does not hold, in the empty slot 9 of the first section ([cmg text]).
    sed -i '0,/^9=\r$/s//9=Written from Windows\r/' "$work/before.pof"
    grep -q '^9=Written from Windows' "$work/before.pof"
    "$WINE" "$cli" write --port COM5 --profile "$work/before.pof"
    "$WINE" "$cli" read --port COM5 --profile "$work/after.pof"
    grep -q '^9=Written from Windows' "$work/after.pof"
    echo "Windows tests and round trip passed"
}

cmd=${1:-build}
install_packages "${PACKAGES[@]}"
case "$cmd" in
    build)
        build build
        ;;
    test)
        build build
        QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 120
        ;;
    asan)
        # GCC, as the normal build; every report ends the test that made it.
        build build-asan -DCMAKE_CXX_COMPILER=g++ -DSENDIBOX_SANITIZE=address,undefined \
            -DSENDIBOX_BUILD_BENCH=OFF
        QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
            UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
            ctest --test-dir build-asan --output-on-failure -j"$(nproc)" --timeout 300
        ;;
    tsan)
        # Reports that lie wholly inside Qt are suppressed by tests/tsan.supp; none of ours is.
        build build-tsan -DCMAKE_CXX_COMPILER=g++ -DSENDIBOX_SANITIZE=thread \
            -DSENDIBOX_BUILD_BENCH=OFF
        QT_QPA_PLATFORM=offscreen \
            TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp" \
            ctest --test-dir build-tsan --output-on-failure -j"$(nproc)" --timeout 300
        ;;
    fuzz)
        install_packages "${FUZZ_PACKAGES[@]}"
        TARGETS=fuzzers build build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DSENDIBOX_FUZZ=ON \
            -DSENDIBOX_BUILD_TESTS=OFF -DSENDIBOX_BUILD_BENCH=OFF -DSENDIBOX_BUILD_UI=OFF
        fuzz "${2:-60}"
        ;;
    bench)
        build build
        for b in build/bench/bench_*; do [ -x "$b" ] && "$b"; done
        ;;
    package)
        install_packages "${PACKAGE_TOOLS[@]}"
        if [ -n "${DEBFULLNAME:-}" ] && [ -n "${DEBEMAIL:-}" ]; then
            build build -DSENDIBOX_PACKAGE_MAINTAINER="$DEBFULLNAME <$DEBEMAIL>"
        else
            # The setting's own default, not one a past run left in the cache.
            build build -USENDIBOX_PACKAGE_MAINTAINER
        fi
        rm -f build/sendibox-*.deb
        (cd build && cpack -G DEB)
        appstreamcli validate --no-net data/org.sendibox.SendiboxConfig.metainfo.xml
        desktop-file-validate data/sendibox-config.desktop
        # Errors fail the build; the warnings kept are listed in the README.
        lintian --fail-on error --display-info build/sendibox-*.deb
        ;;
    windows)
        APT_OPTIONS=--no-install-recommends install_packages "${WINDOWS_PACKAGES[@]}"
        # The Linux simulated unit that the Windows programs talk to.
        TARGETS=sendibox-unitsim build build
        start_wine
        trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
        # -O2: GCC 12's -O3 warns falsely of overlapping copies inside std::string (GCC bug
        # 105329), and warnings are errors.
        cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DSENDIBOX_WERROR=ON \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
            -DSENDIBOX_BUILD_UI=OFF -DSENDIBOX_BUILD_BENCH=OFF >/dev/null
        cmake --build build-windows -j"$(nproc)"
        windows_tests
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
        echo "usage: $0 [build|test|run|bench|asan|tsan|fuzz [seconds]|package|windows]" >&2
        exit 2
        ;;
esac
