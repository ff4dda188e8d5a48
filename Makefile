# The two commands a new user needs: `make demo` and `make test`.
JOBS ?= $(shell nproc)

.PHONY: deps build test sanitize demo screenshots bench clean package package-check

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

# PNGs of the four windows for the documentation (needs xvfb and xauth).
screenshots: build
	./scripts/screenshots.sh build/bin/vorlan docs/screenshots

clean:
	rm -rf build build-sanitize

# A whole update against the board emulator, in a window or in this terminal.
demo: build
	./scripts/demo.sh

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
