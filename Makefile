# Front door: `make run` plays, `make test` runs every test in a normal and a sanitizer build,
# and the engine's tests once more in a build without the AVX2 copy of its search.
# Both install the Debian 12 packages they need first (through sudo when not root).
# `make install` (PREFIX, DESTDIR) and `make package` (a .deb) put the game on a desktop.
# Each build is a preset of CMakePresets.json; these are the presets' folders.

JOBS      ?= $(shell nproc 2>/dev/null || echo 2)
BUILD      = build
ASAN_BUILD = build-asan
GENERIC_BUILD = build-generic
NOGUI_BUILD = build-nogui
FUZZ_BUILD = build-fuzz
FUZZ_SECONDS ?= 60
FUZZERS     = ini_line codec settings record
BIN        = $(BUILD)/bin
PREFIX    ?= /usr/local

# Qt Charts' CMake package needs Qt OpenGL's, which Debian 12 ships apart from qt6-base-dev.
BUILD_PACKAGES = g++ make cmake libgtest-dev libgmock-dev qt6-base-dev qt6-multimedia-dev \
                 qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins
# The window shows Noto Sans CJK and Qt's Japanese texts; its tests measure and read them too.
QT_RUNTIME_PACKAGES = fonts-noto-cjk qt6-translations-l10n
RUN_PACKAGES   = $(BUILD_PACKAGES) $(QT_RUNTIME_PACKAGES)
# The install test validates the desktop entry, the metainfo and the mime package with these.
TEST_PACKAGES  = $(BUILD_PACKAGES) $(QT_RUNTIME_PACKAGES) desktop-file-utils appstream shared-mime-info
# CPack's shlibdeps needs dpkg-shlibdeps and file.
PACKAGE_PACKAGES = $(BUILD_PACKAGES) dpkg-dev file
# The build without Qt needs neither Qt nor its fonts.
NOGUI_PACKAGES = g++ make cmake libgtest-dev libgmock-dev
# Only `make fuzz` needs clang; its build has no tests, so no GoogleTest either.
FUZZ_PACKAGES  = clang libclang-rt-14-dev make cmake

SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all run test build build-asan test-normal test-asan test-generic test-nogui deps deps-run \
	deps-test deps-nogui deps-package deps-fuzz fuzz install uninstall package bench bench-quick \
	screenshot format clean

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

deps-test:
	$(call install_missing,$(TEST_PACKAGES))

deps-package:
	$(call install_missing,$(PACKAGE_PACKAGES))

deps-nogui:
	$(call install_missing,$(NOGUI_PACKAGES))

$(BUILD)/CMakeCache.txt:
	cmake --preset normal

$(ASAN_BUILD)/CMakeCache.txt:
	cmake --preset asan

$(GENERIC_BUILD)/CMakeCache.txt:
	cmake --preset generic

$(NOGUI_BUILD)/CMakeCache.txt:
	cmake --preset nogui

build: deps $(BUILD)/CMakeCache.txt
	cmake --build --preset normal -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build --preset asan -j $(JOBS)

test-normal: deps-test build
	ctest --preset normal -j $(JOBS)

test-asan: deps-test build-asan
	ctest --preset asan -j $(JOBS)

# The engine as built for a CPU or compiler without the run-time choice: the portable path only.
test-generic: deps-test $(GENERIC_BUILD)/CMakeCache.txt
	cmake --build --preset generic -j $(JOBS)
	$(GENERIC_BUILD)/bin/test_engine --gtest_brief=1

test: test-normal test-asan test-generic

# Everything but the window, and its tests, on a machine without Qt.
test-nogui: deps-nogui $(NOGUI_BUILD)/CMakeCache.txt
	cmake --build --preset nogui -j $(JOBS)
	ctest --preset nogui -j $(JOBS)

run: deps-run build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session."; \
	  exit 1; \
	fi
	./$(BIN)/morvane

# Without DESTDIR the desktop's caches are refreshed, so that the menu entry and the record file
# type work at once (Debian's own triggers do this for the package).
define refresh_desktop_caches
	@if [ -z "$(DESTDIR)" ]; then \
	  d=$(PREFIX)/share; \
	  [ -d $$d/mime ] && command -v update-mime-database >/dev/null && update-mime-database $$d/mime; \
	  [ -d $$d/applications ] && command -v update-desktop-database >/dev/null && update-desktop-database -q $$d/applications; \
	  [ -d $$d/icons/hicolor ] && command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t $$d/icons/hicolor; \
	  true; \
	fi
endef

# The install test writes its own manifest into the build tree, so the list of what `make install`
# put in place (with DESTDIR, which CMake's manifest leaves out) is kept apart for `make uninstall`.
INSTALLED_LIST = $(BUILD)/installed-files.txt

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)
	sed 's|^|$(DESTDIR)|' $(BUILD)/install_manifest.txt > $(INSTALLED_LIST)
	$(call refresh_desktop_caches)

uninstall:
	@test -f $(INSTALLED_LIST) || { echo "make uninstall: nothing was installed from $(BUILD)"; exit 1; }
	xargs -d '\n' rm -f < $(INSTALLED_LIST)
	rm -f $(INSTALLED_LIST)
	$(call refresh_desktop_caches)

# A Debian package in this folder: sudo apt-get install ./morvane_*.deb
package: deps-package build
	cd $(BUILD) && cpack -G DEB
	mv $(BUILD)/morvane_*.deb .
	@ls morvane_*.deb

# Runs every fuzz target for FUZZ_SECONDS on its seed corpus (fuzz/corpus) and the inputs that
# once failed (fuzz/regression); new inputs go to $(FUZZ_BUILD)/corpus. Any crash, leak or
# sanitizer report fails; the failing input is left in $(FUZZ_BUILD)/artifacts.
deps-fuzz:
	$(call install_missing,$(FUZZ_PACKAGES))

$(FUZZ_BUILD)/CMakeCache.txt: | deps-fuzz
	cmake --preset fuzz

fuzz: deps-fuzz $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build --preset fuzz -j $(JOBS) $(addprefix --target fuzz_,$(FUZZERS))
	@status=0; for f in $(FUZZERS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$f $(FUZZ_BUILD)/artifacts/$$f; \
	  log=$(FUZZ_BUILD)/fuzz_$$f.log; \
	  ./$(FUZZ_BUILD)/bin/fuzz_$$f -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$f/ $(FUZZ_BUILD)/corpus/$$f fuzz/corpus/$$f \
	    $$(test -d fuzz/regression/$$f && echo fuzz/regression/$$f) >$$log 2>&1; rc=$$?; \
	  if [ $$rc -ne 0 ] || grep -qE 'ERROR: (Address|Leak|Undefined)Sanitizer|runtime error:' $$log; then \
	    tail -n 40 $$log; echo "fuzz_$$f: FAILED (exit $$rc), input in $(FUZZ_BUILD)/artifacts/$$f"; status=1; \
	  else \
	    grep -E '^Done [0-9]+ runs' $$log; \
	    echo "fuzz_$$f: $$(sed -n 's/^stat::number_of_executed_units: *//p' $$log) executions in" \
	      "$$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' $$log) s," \
	      "corpus $$(ls $(FUZZ_BUILD)/corpus/$$f | wc -l) new + $$(ls fuzz/corpus/$$f | wc -l) seed inputs"; \
	  fi; \
	done; exit $$status

bench: build
	./$(BIN)/morvane-engine bench

bench-quick: build
	./$(BIN)/morvane-engine bench --quick

screenshot: deps-run build
	QT_QPA_PLATFORM=offscreen ./$(BIN)/morvane-screenshot screenshots

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(GENERIC_BUILD) $(NOGUI_BUILD)
