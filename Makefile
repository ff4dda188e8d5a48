# The two commands a new user needs: `make demo` and `make test`.
JOBS ?= $(shell nproc)

.PHONY: deps build test sanitize fuzz fuzz-ci windows test-windows demo demo-line serial-check screenshots windows-screenshots bench clean package package-check

deps:
	@./scripts/install-deps.sh

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

test: build
	QT_QPA_PLATFORM=offscreen ctest --preset default -j $(JOBS)

sanitize: deps
	cmake --preset sanitize >/dev/null
	cmake --build --preset sanitize -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ctest --preset sanitize -j $(JOBS)

# The libFuzzer targets in fuzz/, built with clang, each run FUZZ_SECONDS on
# a copy of its seed corpus; fails when one finds a crash. fuzz-ci: a short run.
FUZZ_SECONDS ?= 180
fuzz:
	@./scripts/install-deps.sh fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) ./scripts/fuzz.sh

fuzz-ci:
	$(MAKE) fuzz FUZZ_SECONDS=30

# The programs for Windows, cross-built with mingw-w64: build-windows/bin/
# vorlan.exe (the desktop program on the Win32 controls) and vorlan-flash.exe.
# The image generator and the icon tool run under wine.
windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)

# The Windows build's tests under wine (the Win32 windows among them), whole
# runs of vorlan-flash.exe against the (Linux) board emulator beside the Linux
# vorlan-flash, and vorlan.exe on Xvfb driven with xdotool.
test-windows: build windows
	JOBS=$(JOBS) ./scripts/windows_tests.sh

# A production line of more than 1000 emulated boards sharing one serial
# number counter, one station killed on the way (a few minutes; not a test).
serial-check: build
	./scripts/serial_line_check.sh

# PNGs of the four windows for the documentation (needs xvfb and xauth);
# windows-screenshots: those of vorlan.exe under wine, in both modes (the
# Updater window's build goes to build-windows-updater), at 96 and 192 dpi.
screenshots: build
	./scripts/screenshots.sh build/bin/vorlan docs/screenshots

windows-screenshots: build windows
	cmake --preset windows -B build-windows-updater -DVORLAN_BUILD_VERSION="XYZ 01.00" >/dev/null
	cmake --build build-windows-updater -j $(JOBS) --target vorlan
	./scripts/windows_screenshots.sh build-windows/bin/vorlan.exe build/bin \
	    docs/screenshots/windows/upgrade-mode
	./scripts/windows_screenshots.sh build-windows-updater/bin/vorlan.exe build/bin \
	    docs/screenshots/windows/updater-mode
	./scripts/windows_screenshots.sh build-windows/bin/vorlan.exe build/bin \
	    docs/screenshots/windows/192dpi/upgrade-mode 192
	./scripts/windows_screenshots.sh build-windows-updater/bin/vorlan.exe build/bin \
	    docs/screenshots/windows/192dpi/updater-mode 192

clean:
	rm -rf build build-sanitize build-fuzz build-windows build-windows-updater

# A whole update against the board emulator, in a window or in this terminal.
# Builds only the programs it runs, quietly: the build's log is shown only
# when the build fails.
DEMO_PROGRAMS = vorlan vorlan-flash vorlan-board
demo: deps
	@echo "Building $(DEMO_PROGRAMS) (log: build/demo-build.log)"
	@mkdir -p build
	@{ cmake --preset default && \
	   cmake --build --preset default -j $(JOBS) --target $(DEMO_PROGRAMS); } \
	   >build/demo-build.log 2>&1 || \
	   { cat build/demo-build.log; echo "make demo: the build failed" >&2; exit 1; }
	@./scripts/demo.sh

# A production line against the board emulator: three boards one after
# another behind one COM name, programmed by one vorlan-flash --loop.
demo-line: deps
	@echo "Building vorlan-flash vorlan-board (log: build/demo-build.log)"
	@mkdir -p build
	@{ cmake --preset default && \
	   cmake --build --preset default -j $(JOBS) --target vorlan-flash vorlan-board; } \
	   >build/demo-build.log 2>&1 || \
	   { cat build/demo-build.log; echo "make demo-line: the build failed" >&2; exit 1; }
	@./scripts/demo-line.sh

# Run time of the demo image against the emulator at line rate, against the
# wire time of its bytes (not a test).
bench: build
	./scripts/bench.sh

# The Debian package build/vorlan_<version>_<arch>.deb (README, "Install").
package: build
	cmake --build --preset default -j $(JOBS) --target package

# The package as a user gets it: its files, lintian, and the unpacked
# programs in a whole run against the unpacked board emulator.
package-check: package
	./scripts/package-check.sh

.PHONY: windows-installer windows-installer-check

# The Windows setup program and the zip for use without installing:
# build-windows/vorlan-<version>-setup.exe and vorlan-<version>-win64.zip,
# with the programs the Windows build has (cmake/WindowsInstaller.cmake).
windows-installer: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target windows-installer

# The setup program in a fresh wine prefix: silent install, files, shortcut
# and registry, the installed programs, an update over an older version,
# silent uninstall; and the zip's contents.
windows-installer-check: windows-installer
	./scripts/windows_installer_check.sh
