# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# make run: install what building and running need, build the program alone and start it.
# make test: install the test tools too, build everything and run every test.
BUILD := build
JOBS := $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test setup-run setup-test build build-asan package windows windows-qt

CONFIGURE := cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

# A second build with AddressSanitizer and UBSan, whose tests fail on any report.
ASAN_BUILD := build-asan
SANITIZE := -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined
SANITIZER_ENV := ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp
# Left out there: the static checks and the cross compile run none of our code, the fuzz tests
# have their own sanitized build, the end-to-end tests preload faketime ahead of the ASan
# runtime, which then refuses to start, LeakSanitizer cannot run under test_page_view_opens's
# strace (test_page_view runs the same pages there), and install_package checks the hardening of
# the release build, which this unoptimised one (no _FORTIFY_SOURCE) is not.
ASAN_SKIP := ^(static_.*|win32_power_calls_compile|fuzz_.*|e2e_.*|wine_.*|test_page_view_opens|install_package)$$

run: setup-run
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target zeravan
	tools/run.sh $(BUILD)/zeravan

test: setup-test build build-asan windows
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -E '$(ASAN_SKIP)'

# The Debian package, zeravan_<version>_amd64.deb in build/.
package: build
	cd $(BUILD) && cpack

setup-run:
	tools/setup.sh run

setup-test:
	tools/setup.sh test

# The Windows release under build-windows/: zeravan-<version>-win64.zip and
# zeravan-<version>-setup.exe, cross-compiled against Qt for Windows (built once, cached: about
# 20 minutes on two cores the first time). The Wine tests of `make test` run this release.
WINDOWS_BUILD := build-windows

windows-qt:
	tools/build_windows_qt.sh

windows: setup-test
	qt=$$(tools/build_windows_qt.sh) && \
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
		-DCMAKE_TOOLCHAIN_FILE=$$qt/lib/cmake/Qt6/qt.toolchain.cmake \
		-DQT_CHAINLOAD_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target windows_packages

build: setup-test
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS)

build-asan: setup-test
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$(SANITIZE)" \
		-DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)" -DCMAKE_SHARED_LINKER_FLAGS="$(SANITIZE)"
	cmake --build $(ASAN_BUILD) -j $(JOBS)
