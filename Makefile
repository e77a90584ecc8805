BUILD ?= build
PACKAGE_BUILD ?= build-package
BENCH_BUILD ?= build-bench
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
JOBS ?= 2

.PHONY: deps build run test package bench test-asan fuzz clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOKURI_BUILD_BENCH=ON
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/src/nokuri

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# The Debian package, from a Release build without the tests: $(PACKAGE_BUILD)/nokuri_*.deb
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build $(PACKAGE_BUILD) -j$(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

# Times start-up, saves, switches and memory against the machine's own floors; prints one table.
# Runs in its own X server, so that nothing else on the display takes part.
bench:
	scripts/install-deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOKURI_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target nokuri_bench
	xvfb-run -a -s "-screen 0 1280x1024x24" $(BENCH_BUILD)/bench/nokuri_bench

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer; leaks are reported
# except in the caches of Qt, FreeType and fontconfig (tests/lsan.supp).
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOKURI_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_stack_use_after_return=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS)

# The libFuzzer targets (clang), each for FUZZ_SECONDS from the seeds in fuzz/corpus.
fuzz:
	scripts/install-deps --fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DNOKURI_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_entry_file fuzz_settings_file
	fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(PACKAGE_BUILD) $(BENCH_BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
