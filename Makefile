# Everything a fresh Debian 12 machine needs, as root (or with sudo):
#   make run    build the program and run it from its run folder
#   make test   build from nothing and run every test, then again under
#               AddressSanitizer and UndefinedBehaviorSanitizer
#   make bench  build and run the benchmark programs
#   make footprint  measure the program's start-up, memory and idle wake-ups

# What the build, the tests and the program need from Debian.
PACKAGES := g++ cmake ninja-build pkg-config \
            qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libsqlite3-dev libchm-dev \
            fonts-dejavu-core xvfb xauth trayer xdotool x11-utils inotify-tools

JOBS ?= $(shell nproc)

.PHONY: all deps build run test test-default test-asan bench footprint clean

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

test: deps test-default test-asan

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

bench: build
	build/benchmarks/pingalo_benchmark

# Start-up time, memory and idle wake-ups of the program in a tray under Xvfb.
footprint: build
	benchmarks/footprint.sh build/run/pingalo

clean:
	rm -rf build build-asan
