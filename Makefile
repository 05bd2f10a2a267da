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

configure:
	@test -f $(BUILD_DIR)/CMakeCache.txt || \
	  cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREKLINE_WERROR=$(WERROR)

run: all
	./$(BUILD_DIR)/trekline

test: test-deps all
	cd $(BUILD_DIR) && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j $(JOBS)

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
