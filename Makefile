# make        builds the shipped program, dist/Velquin.exe (32-bit, static)
# make dist   and next to it what Windows users download: the installer
#             dist/Velquin-1.1-setup.exe, the portable dist/Velquin-1.1.zip and
#             dist/SHA256SUMS (scripts/dist.sh)
# make test   builds everything and runs every test (scripts/test.sh)
# make run    builds and starts Velquin under Wine (scripts/run.sh)
SHIP_BUILD := build/ship-i686

.PHONY: all dist test run clean FORCE
all: dist/Velquin.exe

dist/Velquin.exe: FORCE
	bash scripts/setup.sh
	cmake -S . -B $(SHIP_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS=-s -DVELQUIN_BENCH=OFF
	cmake --build $(SHIP_BUILD) --target Velquin VelquinResume -j $$(nproc)
	mkdir -p dist
	cp $(SHIP_BUILD)/app/Velquin.exe $@

dist: dist/Velquin.exe
	bash scripts/dist.sh dist/Velquin.exe dist

test:
	bash scripts/test.sh

run:
	bash scripts/run.sh

clean:
	rm -rf build dist
