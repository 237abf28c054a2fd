# The README's commands. `make test` builds the three builds and runs every
# test; `make demo` runs the program on the bundled demo machine.
SHELL := /bin/bash
.SHELLFLAGS := -euo pipefail -c
JOBS ?= $(shell nproc)
CMAKE_GEN := -G Ninja

.PHONY: test demo deps native win9x wine native-test pe-check dist wine-test \
        fuzz fuzz-short bench clean

test: deps native-test fuzz-short pe-check dist wine-test
	@echo "All tests passed."

demo: deps wine
	scripts/demo.sh build/wine

deps:
	scripts/deps.sh

build/native/build.ninja:
	cmake $(CMAKE_GEN) -S . -B build/native -DCMAKE_BUILD_TYPE=Debug

build/win9x/build.ninja:
	cmake $(CMAKE_GEN) -S . -B build/win9x -DCMAKE_BUILD_TYPE=MinSizeRel \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win9x.cmake

build/wine/build.ninja:
	cmake $(CMAKE_GEN) -S . -B build/wine -DCMAKE_BUILD_TYPE=MinSizeRel \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-wine.cmake

native: build/native/build.ninja
	cmake --build build/native -j $(JOBS)

win9x: build/win9x/build.ninja
	cmake --build build/win9x -j $(JOBS)

wine: build/wine/build.ninja
	cmake --build build/wine -j $(JOBS)

native-test: native
	ctest --test-dir build/native --output-on-failure -j $(JOBS)
	@grep -h "^fault sweep:" build/native/Testing/Temporary/LastTest.log

pe-check: win9x wine
	scripts/check-pe.sh build/win9x build/wine
	scripts/run-bench.sh --quick

# The performance table (docs/performance.md).
bench: deps
	scripts/run-bench.sh

# The distribution (dist/PELMORA.ZIP and the folder it holds) from the
# i686 build, checked as the user unpacks it, and built a second time from
# the commit in another folder to show the same bytes come out.
dist: win9x
	scripts/make-dist.sh build/win9x dist
	scripts/check-dist.sh dist
	JOBS=$(JOBS) scripts/check-dist-reproducible.sh --if-clean dist

wine-test: wine
	scripts/run-wine-tests.sh build/wine

# The fuzz targets (tests/fuzz), each for FUZZ_SECONDS; `make test` gives
# each a short run.
FUZZ_SECONDS ?= 20
fuzz: deps
	JOBS=$(JOBS) scripts/run-fuzz.sh $(FUZZ_SECONDS)

fuzz-short:
	JOBS=$(JOBS) scripts/run-fuzz.sh 30

clean:
	rm -rf build dist
