# Two commands for a fresh Debian 12 machine:
#   make run    installs the packages, builds and starts the editor
#   make test   installs the packages, builds and runs every test
BUILD_DIR ?= build
CMAKE_FLAGS ?=

.PHONY: deps configure build run test screenshots clean

deps:
	bash scripts/install-deps

configure:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR)

run: deps build
	$(BUILD_DIR)/tesserine

test: deps build
	cd $(BUILD_DIR) && ctest --output-on-failure

screenshots: deps configure
	cmake --build $(BUILD_DIR) --target screenshots

clean:
	rm -rf $(BUILD_DIR)
