# Front door: `make run` plays, `make test` runs every test in a normal and a sanitizer build.
# Both install the Debian 12 packages they need first (through sudo when not root).

JOBS      ?= $(shell nproc 2>/dev/null || echo 2)
BUILD     ?= build
ASAN_BUILD ?= build-asan
BIN        = $(BUILD)/bin

BUILD_PACKAGES = g++ make cmake libgtest-dev libgmock-dev qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins
RUN_PACKAGES   = $(BUILD_PACKAGES) fonts-noto-cjk

SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all run test build build-asan test-normal test-asan deps deps-run bench bench-quick screenshot format clean

all: build

# Installs only what dpkg says is missing, so a ready machine never touches apt.
define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(BUILD_PACKAGES))

deps-run:
	$(call install_missing,$(RUN_PACKAGES))

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_SANITIZE=ON

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-normal: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure --timeout 600 -j $(JOBS)

test: test-normal test-asan

run: deps-run build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session."; \
	  exit 1; \
	fi
	./$(BIN)/morvane

bench: build
	./$(BIN)/morvane-engine bench

bench-quick: build
	./$(BIN)/morvane-engine bench --quick

screenshot: build
	mkdir -p screenshots
	QT_QPA_PLATFORM=offscreen ./$(BIN)/morvane-screenshot screenshots/morvane.png

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
