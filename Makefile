# make run: set up, build and start the program. make test: set up, build and run every test.
BUILD := build
JOBS := $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test setup build

run: build
	tools/run.sh $(BUILD)/zeravan

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

setup:
	tools/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)
