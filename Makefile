# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# make run: install what building and running need, build the program alone and start it.
# make test: install the test tools too, build everything and run every test.
# The builds are the presets of CMakePresets.json: default (build/), asan (build-asan/) and
# windows (build-windows/); `ctest --preset unit` is the quick loop and `ctest --preset default`
# the suite after each change: every test but those labelled slow, which make test runs too.
JOBS := $(shell nproc 2>/dev/null || echo 2)
# Most tests spend their time waiting for a server, a window or a clock: two at a time per core.
TEST_JOBS := $(shell echo $$(( $(JOBS) * 2 )))

.PHONY: run test setup-run setup-build setup-windows setup-test build build-asan package windows \
	windows-qt

run: setup-run
	cmake --preset default
	cmake --build --preset default -j $(JOBS) --target zeravan
	tools/run.sh build/zeravan

# The sanitizer run takes the unit and platform tests, which run our code in the test's process
# or in the page painter they start (sanitized as well): the static checks, the cross compile
# and the fuzz tests (with a sanitized build of their own) run none of it in this build; the
# end-to-end tests preload faketime ahead of the ASan runtime, which then refuses to start;
# LeakSanitizer cannot run under test_page_view_opens's strace (test_page_view_local_files runs
# the same pages there).
test: setup-test build build-asan windows
	ctest --preset full -j $(TEST_JOBS)
	ctest --preset asan -j $(TEST_JOBS)

# The Debian package, zeravan_<version>_amd64.deb in build/.
package: build
	cd build && cpack

setup-run:
	tools/setup.sh run

setup-build:
	tools/setup.sh build

setup-windows:
	tools/setup.sh windows

setup-test:
	tools/setup.sh test

# The Windows release under build-windows/: zeravan-<version>-win64.zip and
# zeravan-<version>-setup.exe, cross-compiled against Qt for Windows (built once, cached: about
# 45 to 60 minutes on two shared cores the first time). The Wine tests of `make test` run this
# release.
windows-qt: setup-windows
	tools/build_windows_qt.sh

windows: setup-windows
	qt=$$(tools/build_windows_qt.sh) && \
	cmake --preset windows --toolchain $$qt/lib/cmake/Qt6/qt.toolchain.cmake
	cmake --build --preset windows -j $(JOBS)

build: setup-build
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

build-asan: setup-build
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
