# Quick start: `make run` opens the window, `make test` runs every test headless.
# Both install the Debian packages they need first, when any is missing.

BUILD := build
# The Windows program, cross-built with MinGW-w64 against a static Qt, and tested under Wine.
WINDOWS_BUILD := build-windows
# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE_BUILD := build-sanitize
PACKAGES := cmake ninja-build g++ qt6-base-dev
WINDOWS_PACKAGES := $(PACKAGES) g++-mingw-w64-x86-64-posix qt6-base-dev-tools dpkg-dev perl xz-utils \
	zip unzip
# The rebuild test: Debian's reprotest, what it varies the build with (a FUSE file system that
# shuffles folder listings, a faked clock), and diffoscope to show a difference.
REPROTEST_PACKAGES := reprotest diffoscope-minimal disorderfs faketime locales
WINE_PACKAGES := wine wine64 xvfb xauth x11-utils locales
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: run test dist build sanitize bench deps sanitize-deps reprotest-deps windows \
	test-windows windows-deps wine-deps clean

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "make run: no display to open the window on (set DISPLAY or WAYLAND_DISPLAY)" >&2; \
		exit 1; \
	fi
	./$(BUILD)/quillfen

test: build sanitize reprotest-deps
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# The release archive of the portable program folder and, in a clone, the source archive of the
# commit, each with its .sha256, in $(BUILD)/.
dist: build
	cmake --build $(BUILD) --target dist

build: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)

sanitize: deps sanitize-deps
	@[ -f $(SANITIZE_BUILD)/build.ninja ] || CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -G Ninja \
		-DCMAKE_BUILD_TYPE=Debug -DQUILLFEN_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD)

bench: build
	cmake --build $(BUILD) --target bench
	cd $(BUILD) && QT_QPA_PLATFORM=$${QT_QPA_PLATFORM:-offscreen} ./bench

# The Windows program and its tests, and the release archive
# $(WINDOWS_BUILD)/quillfen-VERSION-windows.zip, with the source archive beside it as in
# $(BUILD)/. The first run on a machine also builds Qt for Windows, 35 to 40 minutes;
# windows/build-qt.sh keeps it in ~/.cache.
# A build folder set up against any other Qt is set up afresh against that one.
windows: windows-deps
	@qt=$$(windows/build-qt.sh) || exit 1; \
	configured=$$(sed -n 's/^CMAKE_PREFIX_PATH:[A-Z]*=//p' $(WINDOWS_BUILD)/CMakeCache.txt 2>/dev/null); \
	if [ "$$configured" != "$$qt" ] || [ ! -f $(WINDOWS_BUILD)/build.ninja ]; then \
		cmake --fresh -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
			-DCMAKE_TOOLCHAIN_FILE=windows/mingw.cmake -DCMAKE_PREFIX_PATH="$$qt" -DCMAKE_FIND_ROOT_PATH="$$qt" \
			-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$$(gcc -dumpmachine)/cmake; \
	fi
	cmake --build $(WINDOWS_BUILD)
	cmake --build $(WINDOWS_BUILD) --target dist

# The tests under Wine, then the unpacked archive's window; each keeps to a Wine prefix and a
# virtual X display of its own.
test-windows: windows wine-deps reprotest-deps
	rm -f $(WINDOWS_BUILD)/wine/tst_window.log
	cd $(WINDOWS_BUILD) && ctest --output-on-failure || \
		{ cat wine/tst_window.log 2>/dev/null; exit 1; }

# Installs the packages named in $(1) that are missing.
define install_missing
	missing=$$(for p in $(1); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		if ! command -v apt-get >/dev/null; then \
			echo "make: please install: $$missing" >&2; exit 1; \
		fi; \
		echo "Installing $$missing"; \
		$(SUDO) apt-get update -q && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi
endef

deps:
	@$(call install_missing,$(PACKAGES))

# Clang's sanitizer runtimes come in a package named after its version.
sanitize-deps:
	@$(call install_missing,clang)
	@$(call install_missing,libclang-rt-$$(clang -dumpversion | cut -d. -f1)-dev)

# reprotest's packages, and the locale it varies the build to, whose sort order is not C's.
reprotest-deps:
	@$(call install_missing,$(REPROTEST_PACKAGES))
	@locale -a | grep -qx et_EE.utf8 || $(SUDO) localedef -i et_EE -f UTF-8 et_EE.UTF-8

windows-deps:
	@$(call install_missing,$(WINDOWS_PACKAGES))

wine-deps:
	@$(call install_missing,$(WINE_PACKAGES))
	@locale -a | grep -qx en_US.utf8 || $(SUDO) localedef -i en_US -f UTF-8 en_US.UTF-8

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(WINDOWS_BUILD)
