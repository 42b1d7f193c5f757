# Orvantis: every set-up step a fresh Debian 12 machine needs, and the usual entry points.
#   make deps    install the Debian packages the build, tests and demo need (idempotent)
#   make build   configure and build everything (build/)
#   make test    deps + build + every test (the namespace lab tests too, when run as root; under
#                CI=true a lab test that cannot run fails)
#   make demo    deps + build + the namespace lab with emulated cameras, and what the product does there
#   make bench   deps + build + benchmarks that print figures
#   make asan    the unit tests again under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan)
#   make tsan    the unit tests again under ThreadSanitizer (build-tsan)
#   make fuzz    a short run of every fuzz target (clang, libFuzzer); a finding fails it and its
#                input stays in build-fuzz/crashes/NAME/
#   make install the programs into PREFIX (default /usr/local), below DESTDIR when given
#   make deb     the Debian package, build/orvantis_<version>_<arch>.deb
#   make windows       cross-build the core, orvantis-cli.exe and the core's tests for Windows
#                      (build-windows/, Debian's mingw-w64; its packages only for these targets)
#   make windows-test  those tests under wine64
#   make windows-zip   build-windows/orvantis-<version>-windows-x64.zip: the program, Language/
#                      and README-windows.txt

BUILD ?= build
# One compiler cache for every build folder and clone: paths are hashed relative to the tree.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
DESTDIR ?=

DEB_PACKAGES := build-essential cmake ninja-build pkg-config git \
  libgtest-dev libgmock-dev libbenchmark-dev \
  qt6-base-dev libgl-dev libnl-3-dev libnl-route-3-dev nlohmann-json3-dev libcli11-dev \
  clang-14 libclang-rt-14-dev clang-format-14 \
  iproute2 iputils-ping curl procps jq util-linux python3 xvfb ccache fonts-wqy-microhei shellcheck \
  dpkg-dev file librsvg2-bin libcap2-bin lintian desktop-file-utils appstream

.PHONY: deps build test demo bench asan tsan fuzz format format-check clean install install-privileges deb \
  windows-deps windows windows-test windows-zip

# Installs the Debian packages of $(1) that are missing.
define install_missing
@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
if [ -n "$$missing" ]; then \
  echo "Installing:" $$missing; \
  SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
  $$SUDO apt-get update && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y --no-install-recommends $$missing; \
fi
endef

deps:
	$(call install_missing,$(DEB_PACKAGES))

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j 2 --timeout 900

# Sanitizer builds compile only what `ctest -L unit` runs (the unit_tests target), at -O1 with line
# tables only: the sanitizers' usual level, and much less compiler work than the -O2 -g build.
SANITIZER_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"

# The GUI tests run here too, offscreen; Qt's own allocations that live until exit are not ours.
asan: deps
	cmake -S . -B build-asan -G Ninja -DORVANTIS_GUI=ON -DORVANTIS_SANITIZE=address,undefined $(SANITIZER_FLAGS)
	cmake --build build-asan -j $(JOBS) --target unit_tests
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/gui/lsan.supp ctest --output-on-failure -L unit -j 2

tsan: deps
	cmake -S . -B build-tsan -G Ninja -DORVANTIS_GUI=OFF -DORVANTIS_SANITIZE=thread $(SANITIZER_FLAGS)
	cmake --build build-tsan -j $(JOBS) --target unit_tests
	cd build-tsan && ctest --output-on-failure -L unit -j 2

# Each target runs FUZZ_SECONDS; a crash, a sanitizer report, a leak or a timeout fails the run, and
# the input that did it stays in build-fuzz/crashes/NAME/ (named in the message) to replay with
# build-fuzz/bin/fuzz_NAME FILE.
FUZZ_SECONDS ?= 20
fuzz: deps
	CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DORVANTIS_GUI=OFF -DORVANTIS_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target $$(cmake --build build-fuzz --target help | sed -n 's/^\(fuzz_[a-z_]*\): phony$$/\1/p')
	@failed=; for f in build-fuzz/bin/fuzz_*; do \
	  [ -x "$$f" ] || continue; name=$${f##*/fuzz_}; \
	  mkdir -p build-fuzz/corpus/$$name build-fuzz/crashes/$$name; \
	  log=build-fuzz/fuzz_$$name.log; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  if $$f -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -timeout=10 \
	      -artifact_prefix=build-fuzz/crashes/$$name/ build-fuzz/corpus/$$name tests/fuzz/corpus/$$name >$$log 2>&1; then \
	    tail -n 3 $$log; \
	  else \
	    status=$$?; tail -n 60 $$log; \
	    input=$$(sed -n 's/.*Test unit written to \(.*\)$$/\1/p' $$log | tail -n 1); \
	    echo "fuzz: FAIL: $$name exited with status $$status; input: $${input:-none written} (full log $$log)"; \
	    failed="$$failed $$name"; \
	  fi; \
	done; \
	[ -z "$$failed" ] || { echo "fuzz: failed:$$failed"; exit 1; }

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# After `make install` as root: the programs for the orvantis group only, with the network
# capabilities (what the Debian package's postinst does).
install-privileges:
	@[ "$$(id -u)" = 0 ] || { echo "install-privileges: run as root" >&2; exit 1; }
	getent group orvantis >/dev/null || groupadd --system orvantis
	@d="$(DESTDIR)$(PREFIX)/lib/orvantis"; \
	for p in orvantis orvantis-cli; do f="$$d/$$p"; [ -e "$$f" ] || continue; \
	  setcap -r "$$f" 2>/dev/null || true; chown root:root "$$f" && chmod 0755 "$$f" && echo "$$f: 0755, no capabilities"; \
	done; \
	f="$$d/orvantis-netd"; [ -e "$$f" ] || { echo "install-privileges: $$f is missing (make install first)" >&2; exit 1; }; \
	chown root:orvantis "$$f" && chmod 0750 "$$f" && setcap cap_net_admin,cap_net_raw+p "$$f" && echo "$$f: group orvantis, 0750, capabilities set (+p)"; \
	chown root:root "$$d/orvantis-netd.lock" && chmod 0644 "$$d/orvantis-netd.lock"
	@echo "Add users with: adduser USER orvantis (they log in again afterwards)"

deb: build
	cd $(BUILD) && cpack -G DEB

demo: build
	bash scripts/demo $(BUILD)/bin

bench: build
	bash scripts/bench $(BUILD)/bin

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format-14 -i

# Formatting, the layers' include direction, and the shell scripts' warnings.
format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format-14 --dry-run --Werror
	python3 scripts/check_includes
	git ls-files 'scripts/*' 'tests/net/*' 'tests/windows/*' | grep -E '\.sh$$|^scripts/(bench|demo|lab)$$' | \
	  grep -v '^scripts/demo.d/' | xargs shellcheck -x -P SCRIPTDIR -S warning

# Windows: the cross compiler, wine to run the tests, GoogleTest's sources to build for the target,
# and the header-only libraries (the rest of DEB_PACKAGES is not needed for it).
WINDOWS_BUILD ?= build-windows
WINDOWS_DEB_PACKAGES := cmake ninja-build ccache nlohmann-json3-dev libcli11-dev \
  g++-mingw-w64-x86-64-posix wine64 googletest
WINE64 ?= /usr/lib/wine/wine64
# Optimised without debug information: the static programs and tests link several times faster.
WINDOWS_BUILD_TYPE := -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG"
# wine keeps its Windows folders in the build folder, quietly.
WINE_ENV = WINEPREFIX=$(CURDIR)/$(WINDOWS_BUILD)/wine WINEDEBUG=-all

windows-deps:
	$(call install_missing,$(WINDOWS_DEB_PACKAGES))

$(WINDOWS_BUILD)/build.ninja:
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
	  -DORVANTIS_GUI=OFF -DORVANTIS_WINE64=$(WINE64) $(WINDOWS_BUILD_TYPE)

windows: windows-deps $(WINDOWS_BUILD)/build.ninja
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target orvantis-cli unit_tests

# The prefix is made once, before the tests start side by side.
windows-test: windows
	@[ -d $(WINDOWS_BUILD)/wine ] || $(WINE_ENV) $(WINE64) wineboot --init
	cd $(WINDOWS_BUILD) && $(WINE_ENV) ctest --output-on-failure -L unit -j 2 --timeout 600

windows-zip: windows
	cd $(WINDOWS_BUILD) && cpack -G ZIP

clean:
	rm -rf build build-asan build-tsan build-fuzz $(WINDOWS_BUILD)
