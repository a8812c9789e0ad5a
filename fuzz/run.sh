#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
# Runs every fuzz target of the fuzz build for a bounded time.
#   fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET [TARGET...]
# Each target grows its corpus in BUILD_DIR/corpus/TARGET from the committed
# seeds (and the shared corpus of real files, when it is there). A crash, a
# leak, a broken check, an input slower than FUZZ_TIMEOUT seconds (a walk that
# does not end) or one needing more than FUZZ_RSS_MB is a finding: the input is
# saved in BUILD_DIR/findings/TARGET/ and the run fails. Copy it to
# fuzz/regressions/TARGET/ once it is understood, so ctest replays it for ever.
#
# The window decodes metafiles (wmf, emf, and the SVG they become) in
# quillet-picture, a process of their own, because libwmf, libemf2svg and Qt's
# rasteriser fail on some files in ways only they could mend. Those targets run
# in fork mode and go on past a failure; each failing input is then run once
# more to see where it fails: inside a library it is contained (moved to
# findings/TARGET/contained/; keep it in fuzz/regressions/TARGET/, which ctest
# replays through the helper), in our own code it fails the run like any other.
# One that does not fail again in three runs has no stack to judge: it stays in
# findings/TARGET/ for a look and does not fail the run.
set -uo pipefail
# FUZZ_HOME: the fuzz folder, for a copy of this script run from elsewhere.
here="${FUZZ_HOME:-$(cd "$(dirname "$0")" && pwd)}"
build="$1"
seconds="$2"
shift 2
targets=("$@")
pictures=(jpeg bmp ico png gif wmf emf svg)
[ ${#targets[@]} -eq 0 ] && targets=(readtag roundtrip id3v1 settings renamer journal "${pictures[@]}")
timeout_s="${FUZZ_TIMEOUT:-10}"
rss_mb="${FUZZ_RSS_MB:-2048}"
shared="$here/../../shared/corpus"

declare -A seeds=([readtag]=id3v2 [roundtrip]=id3v2 [id3v1]=id3v1 [settings]=settings [renamer]=renamer [journal]=journal)
declare -A maxlen=([readtag]=16384 [roundtrip]=16384 [id3v1]=4096 [settings]=4096 [renamer]=1024 [journal]=8192)
declare -A dict=([readtag]=id3 [roundtrip]=id3 [id3v1]=id3 [settings]=settings [renamer]=renamer [journal]=journal)
# The shared corpus holds tag files: no use to the settings parser, the renamer, the journal or a decoder.
declare -A shared_too=([readtag]=1 [roundtrip]=1 [id3v1]=1 [settings]=0 [renamer]=0 [journal]=0)
# Each decoder is fed pictures of its own kind; drawings carry a dictionary of their words.
for p in "${pictures[@]}"; do
    seeds[$p]=$p
    maxlen[$p]=32768
    shared_too[$p]=0
done
dict[svg]=svg
# renderSvg draws the metafiles' SVG, so it only ever runs in the helper too.
declare -A contained=([wmf]=1 [emf]=1 [svg]=1)
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/lsan.supp:print_suppressions=0}"

# Where a saved failing input fails when run again: "ours" when the first named
# frame of its stack outside the sanitizer and fuzzer runtime is in our code,
# "library" when it is in a shared library, "none" when it no longer fails.
where_it_fails() {
    local binary="$1" input="$2" log="" try
    for try in 1 2 3; do
        log=$("$binary" "$input" -timeout="$timeout_s" -rss_limit_mb="$rss_mb" 2>&1) || break
        log=""
    done
    [ -z "$log" ] && {
        echo none
        return
    }
    grep -E '^ +#[0-9]+ 0x[0-9a-f]+ in ' <<<"$log" |
        grep -vE ' in (__sanitizer|__asan|__lsan|__ubsan|fuzzer::|__interceptor|malloc|calloc|realloc|free|operator new|operator delete|__libc_start|_start|__GI_raise|raise|abort|__pthread_kill)' |
        head -1 | grep -qE '\((/usr)?/lib/' && echo library || echo ours
}

passed=0
failed=0
for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    findings="$build/findings/$t"
    mkdir -p "$corpus" "$findings"
    extra=("$here/seeds/${seeds[$t]}")
    # A contained target's kept inputs fail inside a library by nature: ctest
    # replays them through the helper instead.
    [ -d "$here/regressions/$t" ] && [ "${contained[$t]:-0}" = 0 ] && extra+=("$here/regressions/$t")
    [ -d "$shared" ] && [ "${shared_too[$t]}" = 1 ] && extra+=("$shared")
    mode=()
    [ "${contained[$t]:-0}" = 1 ] &&
        mode=(-fork=1 -ignore_crashes=1 -ignore_ooms=1 -ignore_timeouts=1)
    echo "== fuzz_$t for ${seconds}s"
    ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}" \
    UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}" \
        "$build/bin/fuzz_$t" "${mode[@]}" "$corpus" "${extra[@]}" \
        ${dict[$t]:+-dict="$here/${dict[$t]}.dict"} -max_total_time="$seconds" -timeout="$timeout_s" \
        -rss_limit_mb="$rss_mb" -max_len="${maxlen[$t]}" -artifact_prefix="$findings/" \
        -print_final_stats=1 >"$build/fuzz_$t.log" 2>&1
    status=$?
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+ *DONE' "$build/fuzz_$t.log"
    if [ ${#mode[@]} -gt 0 ]; then
        grep -E '^#[0-9]+: cov' "$build/fuzz_$t.log" | tail -1
        # In fork mode libFuzzer exits with the code of its last job, a crash it
        # was told to go on past included: a run that got to its end is judged
        # by where its saved inputs fail instead.
        grep -qE '^INFO: exiting: [0-9]+ time:' "$build/fuzz_$t.log" && status=0
        mkdir -p "$findings/contained"
        for f in "$findings"/crash-* "$findings"/oom-* "$findings"/timeout-* "$findings"/leak-*; do
            [ -f "$f" ] || continue
            case "$(where_it_fails "$build/bin/fuzz_$t" "$f")" in
            library)
                mv "$f" "$findings/contained/"
                echo "contained (fails inside a library): $(basename "$f")" ;;
            none) echo "does not fail again (kept, not judged): $(basename "$f")" ;;
            *)
                echo "fails in our code: $(basename "$f")"
                status=1 ;;
            esac
        done
    fi
    if [ $status -eq 0 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "fuzz_$t FOUND A FAILURE (exit $status):"
        grep -E 'ERROR|SUMMARY|fuzz check failed|Test unit written|timeout' "$build/fuzz_$t.log" | head -20
        ls -1 "$findings"
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
