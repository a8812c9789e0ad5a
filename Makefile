# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
# The two commands of the README. Both check the Debian packages first
# (installing them when run as root).
BUILD     ?= build
ASAN      ?= build-asan
JOBS      ?= $(shell nproc)
CMAKE_GEN ?= Unix Makefiles

FUZZ      ?= build-fuzz
# Seconds each fuzz target runs in `make fuzz`; CI runs them shorter.
FUZZ_SECONDS ?= 180
FUZZ_CI_SECONDS ?= 15
# The soak: this many files of real audio, written and read back this many rounds.
SOAK_FILES  ?= 1000
SOAK_ROUNDS ?= 5
SOAK_CORPUS  = $(BUILD)/soak/corpus-$(SOAK_FILES)

.PHONY: run test deps build deb build-asan test-asan build-fuzz fuzz fuzz-ci soak bench clean

deps:
	@bash scripts/deps.sh

build: deps
	cmake -S . -B $(BUILD) -G "$(CMAKE_GEN)" -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/bin/quillet

# The Debian package of the normal build, in $(BUILD)/package/.
deb: build
	cd $(BUILD) && cpack --config CPackConfig.cmake

# Every test of the normal build, then the core tests again under
# AddressSanitizer and UBSan (a sanitizer report fails the run).
test: build build-asan
	cd $(BUILD) && ctest --no-tests=error --output-on-failure -j$(JOBS)
	$(MAKE) --no-print-directory test-asan

build-asan: deps
	cmake -S . -B $(ASAN) -G "$(CMAKE_GEN)" -DCMAKE_BUILD_TYPE=Debug -DQUILLET_GUI=OFF -DQUILLET_SANITIZE=ON
	cmake --build $(ASAN) -j$(JOBS)

test-asan:
	cd $(ASAN) && ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0 \
	    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	    ctest --no-tests=error --output-on-failure -j$(JOBS)

# The core and its libFuzzer targets, built with clang, ASan and UBSan.
build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -G "$(CMAKE_GEN)" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DQUILLET_FUZZ=ON
	cmake --build $(FUZZ) -j$(JOBS)

# Every fuzz target for FUZZ_SECONDS; a finding fails the run.
fuzz: build-fuzz
	bash fuzz/run.sh $(FUZZ) $(FUZZ_SECONDS)

# The short run CI makes after the tests: fourteen targets, about four minutes.
fuzz-ci: build-fuzz
	bash fuzz/run.sh $(FUZZ) $(FUZZ_CI_SECONDS)

# Not part of `make test`: about 20 s of writing with the defaults (the first run
# makes the corpus too), and 340 MB in $(BUILD)/soak. Checks every file after every round.
soak: build
	cmake --build $(BUILD) --target quillet-soak -j$(JOBS)
	test -d $(SOAK_CORPUS) || { rm -rf $(SOAK_CORPUS).part && \
	    /usr/bin/python3 soak/make_corpus.py $(SOAK_CORPUS).part $(SOAK_FILES) && \
	    mv $(SOAK_CORPUS).part $(SOAK_CORPUS); }
	./$(BUILD)/bin/quillet-soak $(SOAK_CORPUS) $(BUILD)/soak/work $(SOAK_ROUNDS) $(SOAK_SEED)

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ)
