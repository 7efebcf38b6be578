# Set-up and everyday commands.  `make run` and `make test` install what is missing
# (Debian packages, as root or through sudo), configure, build, then start or test.

BUILD      ?= build
PREFIX     ?= /usr/local
JOBS       ?= 2
FUZZ_BUILD ?= fuzz-build
FUZZ_SECONDS ?= 60

PACKAGES = cmake make g++ pkg-config qt6-base-dev libgl-dev libsimpleini-dev \
           libgtest-dev googletest libbenchmark-dev fonts-noto-cjk qt6-svg-dev \
           qt6-translations-l10n desktop-file-utils appstream pandoc \
           poppler-utils
FUZZ_PACKAGES = clang libclang-rt-14-dev
# What the benchmarks compare with.
BENCH_PACKAGES = ripgrep
# What trying the program by hand needs: a virtual X server, key and mouse
# input, screenshots, and a Japanese input method.
TRY_PACKAGES = xvfb xdotool x11-apps imagemagick fcitx5 fcitx5-mozc fcitx5-frontend-qt6

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps fuzz-deps bench-deps try-deps configure build run test install bench screenshots fuzz clean

# Installs those of the Debian packages $(1) that are missing.
define install_missing
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

fuzz-deps:
	$(call install_missing,$(FUZZ_PACKAGES))

bench-deps:
	$(call install_missing,$(BENCH_PACKAGES))

try-deps:
	$(call install_missing,$(TRY_PACKAGES))

configure: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/tessarine

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The program, the converter, the desktop entry, the icon and the AppStream
# metadata under $(PREFIX) (root or sudo for the default /usr/local).
install: build
	$(if $(filter /usr/%,$(PREFIX)),$(SUDO)) cmake --install $(BUILD) --prefix $(PREFIX)

bench: build bench-deps
	@for b in $(BUILD)/bench/*/bench_*; do [ -x "$$b" ] && { echo "== $$b"; $$b; }; done

screenshots: build
	cmake --build $(BUILD) --target screenshots

fuzz: deps fuzz-deps
	@[ -f $(FUZZ_BUILD)/CMakeCache.txt ] || CXX=clang++ cmake -S . -B $(FUZZ_BUILD) \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARINE_FUZZ=ON -DTESSARINE_TESTS=OFF -DTESSARINE_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_rtf_reader
	mkdir -p $(FUZZ_BUILD)/corpus
	./$(FUZZ_BUILD)/tests/fuzz/fuzz_rtf_reader -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 $(FUZZ_BUILD)/corpus tests/richtext/samples

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
