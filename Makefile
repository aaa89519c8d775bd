# The two commands a newcomer needs: `make run` and `make test`. Everything builds into build/,
# which is also the program folder (wordlark, heaptool, vek.heap, save/). `make check` is the
# quick loop while working: the Release build and its tests, nothing else.
JOBS ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all bootstrap build run check test bench art format install deb windows web clean

all: build

bootstrap:
	@scripts/bootstrap

build:
	@cmake -S . -B build $(CMAKE_FLAGS) >/dev/null
	@cmake --build build -j$(JOBS)

run: bootstrap build
	./build/wordlark

check: build
	@ctest --test-dir build -j$(JOBS)

# Every test needs the browser game's tools too (emscripten, chromium and its driver).
test:
	@scripts/bootstrap web
	@scripts/run-tests

bench: bootstrap build
	@scripts/bootstrap web
	@scripts/run-benchmarks

# Every picture of vek.heap as PNG with a contact sheet, and a shot of every screen, for review.
art: bootstrap build
	@scripts/review-art

# The game, heaptool, the data folder (share/wordlark), the desktop entry, icons, metainfo and
# man pages under PREFIX; DESTDIR (from the environment or the command line) stages it for a
# package. The installed game finds its data from its own folder.
PREFIX ?= /usr/local
install: build
	@DESTDIR="$(DESTDIR)" cmake --install build --prefix "$(PREFIX)"

# The Debian package in the games layout, checked by lintian: build-deb/wordlark_*.deb.
deb: bootstrap
	@scripts/make-deb build-deb

# The Windows game, cross-built: build-win/wordlark.exe and build-win/wordlark-windows.zip.
windows: bootstrap
	@scripts/make-windows

# The browser game: build-web/index.html with the game, its data and the help, for any static
# web server.
web:
	@scripts/bootstrap web
	@scripts/make-web build-web

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-fuzz build-deb build-win
