BUILD ?= build
PACKAGE_BUILD ?= build-package
BENCH_BUILD ?= build-bench
JOBS ?= 2

.PHONY: deps build run test package bench clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
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
	scripts/install-deps --bench
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOKURI_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target nokuri_bench
	xvfb-run -a -s "-screen 0 1280x1024x24" $(BENCH_BUILD)/bench/nokuri_bench

clean:
	rm -rf $(BUILD) $(PACKAGE_BUILD) $(BENCH_BUILD)
