# Front door for people and CI: installs missing Debian packages, then drives CMake.
BUILD_DIR := build
WERROR := $(if $(CI),ON,OFF)
JOBS := $(shell nproc)

.PHONY: all deps test-deps configure run test clean

all: deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

deps:
	@scripts/install-deps.sh build

test-deps:
	@scripts/install-deps.sh test

# Configures afresh when there is no build yet or CI's warning setting differs from the build's.
configure:
	@grep -qx 'TREKLINE_WERROR:BOOL=$(WERROR)' $(BUILD_DIR)/CMakeCache.txt 2>/dev/null || \
	  cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREKLINE_WERROR=$(WERROR)

run: all
	./$(BUILD_DIR)/trekline

test: test-deps all
	cd $(BUILD_DIR) && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory sanitized-test fuzz FUZZ_SECONDS=$(TEST_FUZZ_SECONDS)
	$(MAKE) --no-print-directory windows-test

clean:
	rm -rf $(BUILD_DIR)

# Installs under the configured prefix (/usr/local unless PREFIX=... is given);
# DESTDIR=... stages the tree elsewhere, as packagers expect.
.PHONY: install package
install: all
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) $(if $(PREFIX),--prefix "$(PREFIX)")

# A Debian package, trekline_<version>_<arch>.deb, in $(BUILD_DIR).
package: all
	cmake --build $(BUILD_DIR) --target package

# The platform, store and report tests, the fault-injection tests and the
# data file fuzzer, built with clang, AddressSanitizer and UBSan in a
# directory of their own; any sanitizer report, leaks included, fails them.
SAN_BUILD_DIR := $(BUILD_DIR)/sanitized
SAN_ENV := LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1
FUZZ_SECONDS ?= 600
TEST_FUZZ_SECONDS ?= 60

.PHONY: sanitized sanitized-test fuzz

# Configured every time: the targets are named, and a build tree made before
# a target was added would not know it.
sanitized: test-deps
	cmake -S . -B $(SAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DTREKLINE_FUZZ=ON -DTREKLINE_WERROR=$(WERROR) >/dev/null
	cmake --build $(SAN_BUILD_DIR) -j $(JOBS) --target platform_tests store_tests report_tests \
	  fault_tests import_tests step_file_fuzzer export_fuzzer import_fuzzer

sanitized-test: sanitized
	cd $(SAN_BUILD_DIR)/tests && $(SAN_ENV) ./platform_tests && $(SAN_ENV) ./store_tests && \
	  $(SAN_ENV) ./report_tests && $(SAN_ENV) ./fault/fault_tests && $(SAN_ENV) ./import_tests

# FUZZ_SECONDS=600 make fuzz; new inputs gather in the build directory, the
# committed seeds stay as they are.
# The fuzzer works in a directory of its own, so every path it is given is absolute.
# Each fuzz target gets FUZZ_SECONDS: the data file, the export readers, then
# a file offered for import merged into a diary.
FUZZ_RUN = $(SAN_ENV) $(SAN_BUILD_DIR)/tests/fuzz/$(1) -max_total_time=$(FUZZ_SECONDS) \
	  -timeout=20 -print_final_stats=1 -artifact_prefix=$(abspath $(SAN_BUILD_DIR))/$(2) \
	  $(abspath $(SAN_BUILD_DIR)/$(2)fuzz-corpus) $(addprefix $(CURDIR)/tests/fuzz/,$(3))

fuzz: sanitized
	mkdir -p $(SAN_BUILD_DIR)/fuzz-corpus $(SAN_BUILD_DIR)/export-fuzz-corpus \
	  $(SAN_BUILD_DIR)/import-fuzz-corpus
	$(call FUZZ_RUN,step_file_fuzzer,,corpus)
	$(call FUZZ_RUN,export_fuzzer,export-,export-corpus)
	$(call FUZZ_RUN,import_fuzzer,import-,import-corpus export-corpus)

# The Windows (x86_64) build, cross-compiled with MinGW-w64 in $(WINDOWS_BUILD_DIR)
# against static libraries that scripts/windows-deps.sh builds from Debian's
# sources once and keeps outside the clone. A different prefix (new sources or
# a new recipe) starts the build tree afresh, as CMake remembers found paths;
# so does a configure that did not finish.
WINDOWS_BUILD_DIR := build-windows

.PHONY: windows
windows:
	@prefix="$$(scripts/windows-deps.sh)" && \
	if [ ! -f $(WINDOWS_BUILD_DIR)/Makefile ] || \
	   ! grep -qx "TREKLINE_WINDOWS_PREFIX:PATH=$$prefix" $(WINDOWS_BUILD_DIR)/CMakeCache.txt || \
	   ! grep -qx 'TREKLINE_WERROR:BOOL=$(WERROR)' $(WINDOWS_BUILD_DIR)/CMakeCache.txt || \
	   ! grep -qx 'TREKLINE_TESTS:BOOL=ON' $(WINDOWS_BUILD_DIR)/CMakeCache.txt || \
	   ! grep -qx 'TREKLINE_LINUX_PROGRAM:FILEPATH=$(CURDIR)/$(BUILD_DIR)/trekline' $(WINDOWS_BUILD_DIR)/CMakeCache.txt; then \
	  rm -f $(WINDOWS_BUILD_DIR)/CMakeCache.txt && \
	  cmake -S . -B $(WINDOWS_BUILD_DIR) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/windows-toolchain.cmake \
	    -DTREKLINE_WINDOWS_PREFIX="$$prefix" -DCMAKE_BUILD_TYPE=Release -DTREKLINE_WERROR=$(WERROR) -DTREKLINE_TESTS=ON \
	    -DTREKLINE_LINUX_PROGRAM=$(CURDIR)/$(BUILD_DIR)/trekline; \
	fi && \
	cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS)

# The tests of the Windows build (the window-free layers and the wxMSW parts
# of the window) and the Windows program against
# the Linux one on the same inputs, run under Wine in a prefix made
# afresh in the build tree (no Mono or Gecko) by one Wine server, which is
# started before the first test and ended after the last. Wine's first process
# of a server session needs a display, hence xvfb-run.
WINE_TEST_PREFIX := $(CURDIR)/$(WINDOWS_BUILD_DIR)/wine-prefix

.PHONY: windows-test
windows-test: all windows
	rm -rf $(WINE_TEST_PREFIX) && mkdir -p $(WINE_TEST_PREFIX)
	WINEPREFIX=$(WINE_TEST_PREFIX) xvfb-run -a -s "-screen 0 1280x1024x24" sh -c ' \
	  wineserver -p && scripts/wine-run.sh && \
	  (cd $(WINDOWS_BUILD_DIR) && ctest -L "unit|program|window" --output-on-failure -j $(JOBS)); status=$$?; \
	  wineserver -k; exit $$status'
