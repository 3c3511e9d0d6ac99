# The two commands a user types: `make run` and `make test`. Both install
# missing dependencies first.
JOBS ?= $(shell nproc)
TEST_DIR := build/test
RUN_DIR := build/release
BENCH_DIR := build/bench
DIST_DIR := build/dist
PREFIX ?= /usr/local

ARGS ?=

.PHONY: deps run test bench fuzz screenshots install package dist clean

deps:
	@tools/deps.sh

run: deps
	cmake -S . -B $(RUN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMET_TESTS=OFF
	cmake --build $(RUN_DIR) -j $(JOBS) --target vellumet
	$(RUN_DIR)/src/app/vellumet $(ARGS)

test: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DVELLUMET_SANITIZE=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DVELLUMET_TESTS=OFF -DVELLUMET_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	for b in $(BENCH_DIR)/bench/*_bench; do $$b; done

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMET_TESTS=OFF -DVELLUMET_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)

# Pictures of the editor window for the README, taken under a virtual display.
screenshots: deps
	cmake -S . -B $(RUN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMET_TESTS=OFF
	cmake --build $(RUN_DIR) -j $(JOBS) --target vellumet_screenshots vellumet
	xvfb-run -a -s "-screen 0 1600x1000x24" env QT_QPA_PLATFORM=xcb \
	  $(RUN_DIR)/tools/screenshots/vellumet_screenshots docs/screenshots samples/banner.sw0
	node tools/screenshots/html5_page.mjs $(RUN_DIR)/src/app/vellumet samples/banner.sw0 185 \
	  docs/screenshots/html5-page-banner.png

# A Release build for installing and packaging; the .deb installs under /usr
# whatever PREFIX is.
dist: deps
	cmake -S . -B $(DIST_DIR) -DCMAKE_BUILD_TYPE=Release -DVELLUMET_TESTS=OFF -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(DIST_DIR) -j $(JOBS) --target vellumet

# make install [PREFIX=/usr/local] [DESTDIR=...]
install: dist
	DESTDIR="$(DESTDIR)" cmake --install $(DIST_DIR)

package: dist
	cd $(DIST_DIR) && cpack -G DEB

clean:
	rm -rf build
