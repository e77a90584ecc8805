BUILD ?= build
PACKAGE_BUILD ?= build-package
JOBS ?= 2

.PHONY: deps build run test package clean

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

clean:
	rm -rf $(BUILD) $(PACKAGE_BUILD)
