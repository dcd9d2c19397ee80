# make        builds the shipped program, dist/Velquin.exe (32-bit, static)
# make dist   and next to it what Windows users download: the installer
#             dist/Velquin-1.1-setup.exe, the portable dist/Velquin-1.1.zip,
#             dist/SHA256SUMS and the winget manifest dist/winget/ (scripts/dist.sh;
#             signed with VELQUIN_SIGN_PFX and VELQUIN_SIGN_PASSWORD set)
# make test   builds everything and runs every test (scripts/test.sh)
# make run    builds and starts Velquin under Wine (scripts/run.sh)
SHIP_BUILD := build/ship-i686

.PHONY: all dist test run clean FORCE
all: dist/Velquin.exe

dist/Velquin.exe: FORCE
	bash scripts/setup.sh
	cmake -S . -B $(SHIP_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS=-s -DVELQUIN_BENCH=OFF
	cmake --build $(SHIP_BUILD) --target Velquin VelquinUninstall VelquinResume -j $$(nproc)
	mkdir -p dist
	cp $(SHIP_BUILD)/app/Velquin.exe $@

# Reproducible: the times stored are the last commit's (scripts/dist.sh).
dist: dist/Velquin.exe
	bash scripts/dist.sh dist/Velquin.exe $(SHIP_BUILD)/app/VelquinUninstall.exe dist

test:
	bash scripts/test.sh

run:
	bash scripts/run.sh

clean:
	rm -rf build dist
