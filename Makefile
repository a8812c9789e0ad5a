# The two commands of the README. Both check the Debian packages first
# (installing them when run as root).
BUILD     ?= build
ASAN      ?= build-asan
JOBS      ?= $(shell nproc)
CMAKE_GEN ?= Unix Makefiles

.PHONY: run test deps build build-asan test-asan bench clean

deps:
	@bash scripts/deps.sh

build: deps
	cmake -S . -B $(BUILD) -G "$(CMAKE_GEN)" -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/bin/quillet

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

clean:
	rm -rf $(BUILD) $(ASAN)
