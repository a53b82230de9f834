# Everything a fresh Debian 12 machine needs, as root (or with sudo):
#   make run    build the program and run it from its run folder
#   make test   build from nothing and run every test, then again under
#               AddressSanitizer and UndefinedBehaviorSanitizer
#   make bench  build and run the benchmark programs
#   make footprint  measure the program's start-up, memory and idle wake-ups
#   make fuzz   run each fuzz target for FUZZ_SECONDS (60 unless given)
#   make coverage  line coverage of src/ by the whole test suite (gcovr)
#   make deb    build the Debian package build-deb/pingalo_<version>_<arch>.deb
#               and check it with lintian, its AppStream metainfo with appstreamcli
#   make screenshots  the pictures of the windows in docs/, from the real program
#   make mutation  the unit tests' mutation score over a seeded sample of faults put
#               in src/ (about an hour on two cores; not part of make test)

# What the build, the tests and the program need from Debian.
PACKAGES := g++ cmake ninja-build pkg-config \
            qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libsqlite3-dev libchm-dev libical-dev \
            fonts-dejavu-core xvfb xauth trayer xdotool x11-utils inotify-tools \
            libfaketime python3-dateutil sqlite3 clang libfuzzer-14-dev gcovr dbus-daemon dbus-bin \
            dpkg-dev lintian at-spi2-core gir1.2-atspi-2.0 python3-gi appstream \
            radicale vdirsyncer khal curl

# What `make screenshots` needs besides: a window's picture as PNG.
SCREENSHOT_PACKAGES := x11-apps netpbm

JOBS ?= $(shell nproc)

FUZZ_SECONDS ?= 60
FUZZ_TARGETS := queuefile helpfile textforms scramble calendar

.PHONY: all deps build run test test-default test-asan test-fuzz fuzz fuzz-build fuzz-run bench footprint \
        coverage deb screenshots mutation clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  if [ "$$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi; \
	  $$SUDO apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# Runs the program from its run folder (the program, snds/ and the help file),
# so that it finds its sounds and help there. Without a display it says how to
# run it under Xvfb with a tray host.
run: build
	cd build/run && exec ./pingalo

test: deps test-default test-asan test-fuzz

test-default:
	rm -rf build
	cmake --preset default
	cmake --build --preset default -j $(JOBS)
	ctest --preset default -j 2

test-asan:
	rm -rf build-asan
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j 2

# The sample of mutants kept in tools/ (drawn with seed 2026 from the code as it
# was before the score was first taken), so that scores of later code compare;
# `make mutation MUTATION_SAMPLE=` draws MUTANTS afresh with MUTATION_SEED.
MUTATION_SAMPLE ?= tools/mutation-sample.tsv
MUTANTS ?= 100
MUTATION_SEED ?= 2026
mutation: deps
	python3 tools/mutation.py --seed $(MUTATION_SEED) --mutants $(MUTANTS) \
	  $(if $(MUTATION_SAMPLE),--sample $(MUTATION_SAMPLE))

# The fuzz targets, built from nothing with clang; each runs on a copy of its
# seed corpus, so the committed corpus changes only by hand. A crash stops the
# run and leaves the input as crash-* in build-fuzz/.
fuzz-build:
	rm -rf build-fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

fuzz: deps fuzz-build
	@$(MAKE) --no-print-directory fuzz-run

test-fuzz: fuzz-build
	@$(MAKE) --no-print-directory fuzz-run FUZZ_SECONDS=10

fuzz-run:
	@set -e; for t in $(FUZZ_TARGETS); do \
	  rm -rf build-fuzz/corpus-$$t; mkdir -p build-fuzz/corpus-$$t; \
	  echo "fuzz_$$t: $(FUZZ_SECONDS) s"; \
	  (cd build-fuzz && ./fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
	     -print_final_stats=1 corpus-$$t ../fuzz/corpus/$$t 2>fuzz-$$t.log) || \
	     { tail -n 40 build-fuzz/fuzz-$$t.log; exit 1; }; \
	  grep -E '^stat::number_of_executed_units' build-fuzz/fuzz-$$t.log; \
	done

# Line coverage of src/ by every test, end-to-end ones included.
coverage: deps
	rm -rf build-coverage
	cmake --preset coverage
	cmake --build --preset coverage -j $(JOBS)
	ctest --preset coverage -j 2
	gcovr --root . --filter 'src/' --object-directory build-coverage --print-summary \
	      --txt build-coverage/coverage.txt >/dev/null
	@tail -n 3 build-coverage/coverage.txt

# The Debian package, built from nothing with the prefix /usr and Debian's
# hardening flags, its dependencies found by dpkg-shlibdeps. Install it with
# apt install ./build-deb/pingalo_*.deb
deb: deps
	rm -rf build-deb
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	      -DPINGALO_WERROR=ON -DPINGALO_BUILD_TESTS=OFF
	cmake --build build-deb -j $(JOBS)
	cd build-deb && cpack
	lintian --fail-on error build-deb/pingalo_*.deb
	appstreamcli validate --pedantic --no-net resources/org.example.pingalo.metainfo.xml
	@ls build-deb/pingalo_*.deb

# The pictures of the windows in docs/, taken from the real program under
# Xvfb on a demonstration store (see the script).
screenshots: build
	@$(MAKE) --no-print-directory deps PACKAGES="$(SCREENSHOT_PACKAGES)"
	resources/make-screenshots.sh build/run/pingalo build/run/pingalo-ctl docs

bench: build
	build/benchmarks/pingalo_benchmark
	QT_QPA_PLATFORM=offscreen build/benchmarks/pingalo_list_benchmark
	build/benchmarks/pingalo_calendar_benchmark
	build/benchmarks/pingalo_sync_benchmark

# Start-up time, memory and idle wake-ups of the program in a tray under Xvfb.
footprint: build
	benchmarks/footprint.sh build/run/pingalo

clean:
	rm -rf build build-asan build-fuzz build-coverage build-deb build-mutation
