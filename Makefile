# Thin wrapper over the CMake presets. `make run` starts the program with its default
# conditions; `make test` builds everything and runs every test, the sanitizer build included.
JOBS ?= 2

.PHONY: all deps build program run test test-default test-asan bench screenshots report-pictures fuzz clean

all: build

deps:
	./scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# Only the two programs: the first window comes without waiting for the tests.
program: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS) --target tovimar tovimar-batch

run: program
	./build/default/src/ui/tovimar

test: test-default test-asan

test-default: build
	ctest --preset default -j $(JOBS)

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench: build
	./build/default/bench/tovimar_bench

# Renders the pages, the Drying Profile page after a failed run, with every curve and
# five pinned runs and after a diffusion run with its chart through the coating, the window grown to 1100 x 800, the help window, the completion dialog and
# the "Save changes?" prompt to screenshots/*.png without a display,
# and refreshes the pictures the README shows.
screenshots: build
	QT_QPA_PLATFORM=offscreen ./build/default/src/ui/tovimar_screenshots screenshots
	mkdir -p docs
	cp screenshots/page1.png docs/screenshot-page1.png
	cp screenshots/profile.png docs/screenshot-profile.png
	cp screenshots/grown.png docs/screenshot-grown.png
	cp screenshots/line.png docs/screenshot-line.png
	cp screenshots/profile-judging.png docs/screenshot-judging.png
	cp screenshots/profile-failed.png docs/screenshot-profile-failed.png
	cp screenshots/page7.png docs/screenshot-optimise.png
	cp screenshots/profile-measured.png docs/screenshot-measured.png
	cp screenshots/fit.png docs/screenshot-fit.png
	cp screenshots/profile-pinned.png docs/screenshot-pinned.png
	cp screenshots/profile-crowded.png docs/screenshot-crowded.png
	cp screenshots/compare.png docs/screenshot-compare.png
	cp screenshots/session-prompt.png docs/screenshot-session-prompt.png
	cp screenshots/materials.png docs/screenshot-materials.png
	cp screenshots/model.png docs/screenshot-model.png
	cp screenshots/profile-through-coating.png docs/screenshot-through-coating.png
	$(MAKE) report-pictures

# The default run's report (tovimar-batch --report) as docs/report-page1.png and -page2.png.
report-pictures: build
	mkdir -p docs screenshots
	./build/default/batch/tovimar-batch --report screenshots/report.pdf
	pdftoppm -png -r 70 screenshots/report.pdf screenshots/report-page
	cp screenshots/report-page-1.png docs/report-page1.png
	cp screenshots/report-page-2.png docs/report-page2.png

# Builds the libFuzzer targets (clang) and runs each for FUZZ_SECONDS on a copy of its seed
# corpus; the test command replays the corpus itself.
FUZZ_SECONDS ?= 20
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) --target tovimar_fuzzers
	./tests/fuzz/run_fuzzers.sh build/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build
