# Thin wrapper: every target installs what is missing, configures and builds first.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
DATA_DIR ?=
PREFIX ?= /usr/local

.PHONY: all bootstrap build run test bench fuzz format clean install package

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build -j $(JOBS)

run: build
	build/src/main/tresorio $(if $(DATA_DIR),--data-dir "$(DATA_DIR)")

install: build
	cmake --install build --prefix "$(PREFIX)"

# The Debian package, built for /usr from an optimised build of its own.
package: bootstrap
	@cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
	@cmake --build build-package -j $(JOBS)
	cd build-package && cpack
	@ls build-package/tresorio_*.deb

test: bootstrap
	@cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRESORIO_SANITIZE=ON -DTRESORIO_TESTS=ON >/dev/null
	@cmake --build build-test -j $(JOBS)
	cd build-test && ctest --output-on-failure -j $(JOBS)

bench: bootstrap
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRESORIO_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do echo "== $$b"; $$b; done
	python3 bench/peers.py build-bench/work build-bench/bench/tresorio-bench-run

fuzz: bootstrap
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DTRESORIO_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@for f in build-fuzz/tests/fuzz/fuzz_*; do \
		name=$$(basename $$f); mkdir -p build-fuzz/corpus/$$name; \
		echo "== $$name for $(FUZZ_SECONDS) s"; \
		$$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 build-fuzz/corpus/$$name tests/fuzz/seeds/$$name || exit 1; \
	done

format:
	@find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build build-test build-bench build-fuzz build-package
