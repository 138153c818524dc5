#!/usr/bin/env bash
# ThreadSanitizer run of the tests whose code uses threads: the build worker, live output and
# stop, the output window, recovery writes, snapshots and the large-text storage. Too slow to
# build for every CI run, so it sits beside the fuzzers: fuzz/tsan.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build-tsan}"
flags="-fsanitize=thread -g -O1 -fno-omit-frame-pointer"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DMIREKA_BENCH=OFF -DMIREKA_SANITIZE=OFF \
      -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$build" -j"$(nproc)" --target core_tests gui_tests mireka
# Qt itself is not built for the sanitizer; its internals are not what is checked here.
# die_after_fork=0: the tests start child processes from a process that has threads.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 die_after_fork=0 suppressions=$here/fuzz/tsan.supp"
"$build/tests/core_tests" --gtest_filter='TextBuffer*:TextSnapshot*:Snapshot*'
QT_QPA_PLATFORM=offscreen "$build/tests/gui_tests" \
    --gtest_filter='Build*:OutputBar*:OutputDisplay*:DocumentRecovery*:RecoveryStore*:LargeTextMemory*'
echo "ThreadSanitizer: clean"
