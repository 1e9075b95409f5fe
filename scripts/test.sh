#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test through CTest (its fixture
# starts PulseAudio and Xvfb for the run and stops them after). Tests of code
# that runs on several threads run again in a ThreadSanitizer build.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh"
jobs=$(nproc)
common=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DREPETA_WERROR=ON)

asan="$root/build/asan"
cmake -S "$root" -B "$asan" "${common[@]}" -DREPETA_SANITIZE=address,undefined -DREPETA_FUZZ=ON >/dev/null
cmake --build "$asan" -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
(cd "$asan" && ctest --output-on-failure) || status=1

# The fixture that starts the services is listed too, but is no build target.
threaded=$(cd "$asan" && ctest -N -L threads | sed -n 's/^ *Test *#[0-9]*: //p' | grep -v '^services_')
if [ -n "$threaded" ]; then
    tsan="$root/build/tsan"
    cmake -S "$root" -B "$tsan" "${common[@]}" -DREPETA_SANITIZE=thread >/dev/null
    # shellcheck disable=SC2086
    cmake --build "$tsan" -j "$jobs" --target testmedia $threaded
    export TSAN_OPTIONS=halt_on_error=1
    (cd "$tsan" && ctest --output-on-failure -L threads) || status=1
fi
exit $status
