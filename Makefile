# Quick start: `make run` opens the window, `make test` runs every test headless.
# Both install the Debian packages they need first, when any is missing.

BUILD := build
# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer, with the fuzzer.
SANITIZE_BUILD := build-sanitize
PACKAGES := cmake ninja-build g++ qt6-base-dev
FUZZ_SECONDS := 600
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: run test dist build sanitize fuzz bench deps sanitize-deps clean

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "make run: no display to open the window on (set DISPLAY or WAYLAND_DISPLAY)" >&2; \
		exit 1; \
	fi
	./$(BUILD)/quillfen

test: dist sanitize
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# Release archive of the portable program folder, in $(BUILD)/.
dist: build
	cmake --build $(BUILD) --target package

build: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)

sanitize: deps sanitize-deps
	@[ -f $(SANITIZE_BUILD)/build.ninja ] || CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -G Ninja \
		-DCMAKE_BUILD_TYPE=Debug -DQUILLFEN_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD)

# A longer run of the fuzzer than the one in `make test`: make fuzz FUZZ_SECONDS=3600
fuzz: sanitize
	cd $(SANITIZE_BUILD)/tests && ./fuzz_settingfile -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
		fuzz-corpus $(CURDIR)/tests/fuzz-seeds

bench: build
	cmake --build $(BUILD) --target bench
	cd $(BUILD) && QT_QPA_PLATFORM=$${QT_QPA_PLATFORM:-offscreen} ./tests/bench

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
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi
endef

deps:
	@$(call install_missing,$(PACKAGES))

# Clang's sanitizer and fuzzer runtimes come in a package named after its version.
sanitize-deps:
	@$(call install_missing,clang)
	@$(call install_missing,libclang-rt-$$(clang -dumpversion | cut -d. -f1)-dev)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
