# Quick start: `make demo`, `make build`, `make test`. Every target installs what it needs.
JOBS ?= $(shell nproc)
BUILD := build
ASAN_BUILD := build-asan
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
# make demo configures the same build folder for the tool alone; every other
# target asks for everything again (the objects built so far are kept).
FULL_FLAGS := $(CMAKE_FLAGS) -DKS_WIZARD=ON -DKS_TESTS=ON

.PHONY: all deps build run demo test test-asan unit bench coverage format clean install package

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) $(FULL_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# kestrin-index, kestrin-wizard, share/kestrin, a menu entry and an icon under
# the configured prefix (default /usr/local); DESTDIR=/staging stages them.
# The programs are stripped, so that no path of this machine goes with them.
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --strip

# A Debian package (build/kestrin-index_VERSION_ARCH.deb) of what make install
# installs, under /usr; install it with `sudo apt install ./build/kestrin-index_*.deb`.
package: build
	@cd $(BUILD) && cpack -G DEB

# The wizard from the build tree (it finds its texts and layouts in build/dist/,
# named in build/app/kestrin-wizard.program-folder).
run: build
	@$(BUILD)/app/kestrin-wizard $(ARGS)

# The sample trees combined with the default layout into demo-output/; only
# the command-line tool is built for it, and only what that needs installed.
DEMO := demo-output
DEMO_TREES := samples/jansen/jansen.htx samples/deboer/deboer.htx samples/smit/smit.htx
demo:
	@scripts/install-deps --demo
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DKS_WIZARD=OFF -DKS_TESTS=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target kestrin-index
	@rm -rf $(DEMO)
	@start=$$($(BUILD)/cli/kestrin-index build -q -b index -o $(DEMO) \
	  --title "Stambomen Jansen, De Boer en Smit" \
	  --homepage https://example.org/ --email info@example.org $(DEMO_TREES)) && \
	  echo "The combined index of the sample trees is ready; open its start page:" && \
	  echo "  file://$$start"

unit: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The core tests a second time under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKS_SANITIZE=ON -DKS_CORE_ONLY=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

test: unit test-asan

# Line coverage of every test: a build of its own (build-coverage/), every
# test run once, then the share of lines run per folder and per unit printed
# and kept in docs/coverage.md.
COVERAGE_BUILD := build-coverage
coverage: deps
	@scripts/install-deps --coverage
	@cmake -S . -B $(COVERAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKS_COVERAGE=ON >/dev/null
	@cmake --build $(COVERAGE_BUILD) -j $(JOBS)
	@find $(COVERAGE_BUILD) -name '*.gcda' -delete
	@# Left out: the install checks (a coverage build holds its own paths) and
	@# the file-size limit (the counts cannot be written under it).
	@cd $(COVERAGE_BUILD) && ctest -j $(JOBS) -E 'InstallRunsFromAnotherFolder|DebianPackageRunsUnpacked|FileSizeLimit' \
	  >/dev/null || echo "(some tests failed; their lines count as they ran)"
	@scripts/coverage-table $(COVERAGE_BUILD) docs/coverage.md

# Benchmarks (never part of the tests): merging 1,000,000 index lines,
# the pages of every layout at that size (150,000 surnames, the default
# division) loaded in headless Chromium, the search across all trees on the
# same lines, Map doorzoeken in the wizard, and importing a GEDCOM file of
# 1,000,000 persons.
bench: build
	@scripts/install-deps --bench
	@bench/run-merge $(BUILD)
	@bench/run-build $(BUILD)
	@bench/run-pages $(BUILD)
	@bench/run-search $(BUILD)
	@bench/run-folder-search $(BUILD)
	@bench/run-import $(BUILD)
	@bench/run-publish $(BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(COVERAGE_BUILD) $(DEMO)
