# Quick start: `make run` opens the window, `make test` runs every test headless.
# Both install the Debian packages they need first, when any is missing.

BUILD := build
PACKAGES := cmake ninja-build g++ qt6-base-dev
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: run test dist build deps clean

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "make run: no display to open the window on (set DISPLAY or WAYLAND_DISPLAY)" >&2; \
		exit 1; \
	fi
	./$(BUILD)/quillfen

test: dist
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# Release archive of the portable program folder, in $(BUILD)/.
dist: build
	cmake --build $(BUILD) --target package

build: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)

deps:
	@missing=$$(for p in $(PACKAGES); do \
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

clean:
	rm -rf $(BUILD)
