# The two commands a fresh machine needs: `make run` and `make test`.
.PHONY: all deps build run test test-debug test-asan format format-check clean bench bench-run \
	package screenshots

JOBS ?= $(shell nproc)

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset debug >/dev/null
	cmake --build --preset debug -j $(JOBS)

run: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)
	scripts/run-demo build/release

test: test-debug test-asan

test-debug: build
	ctest --preset debug

test-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan

# The Debian package of the programs, from the release build: build/package/zelvo_*.deb.
package: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target zelvo zelvo-archive
	cpack --config build/release/CPackConfig.cmake -B build/package
	@ls -l build/package/*.deb

# One picture of every screen, taken in a real X server (Xvfb): docs/screens/*.png.
screenshots: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target zelvo-drive
	scripts/screenshots build/release docs/screens

# Benchmarks: never part of `make test`. The generated year is cached in build/release/bench/.
BENCH_BIN ?= build/release/src/tools/zelvo-bench
BENCH_DIR ?= build/release/bench
BENCH_LINES ?= 200000
BENCH_DOC ?= docs/benchmarks.md
# The benchmarks' own PostgreSQL server (a short path: its socket lives there).
BENCH_SERVER ?= /tmp/zelvo-pg-bench

bench: deps
	@command -v ledger >/dev/null || apt-get install -y --no-install-recommends ledger
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target zelvo-bench
	$(MAKE) bench-run

bench-run:
	@set -e; B=$(BENCH_BIN); D=$(BENCH_DIR); mkdir -p $$D; \
	if [ ! -f $$D/year.done ]; then rm -rf $$D/year; \
	  $$B generate $$D/year 2026 $(BENCH_LINES) 2026 > $$D/generate.log; touch $$D/year.done; fi; \
	$$B export-ledger $$D/year 2026 $$D/year.ledger >/dev/null; \
	out=$$D/benchmarks.md.new; \
	{ echo "# Benchmarks"; echo; \
	  echo "Written by \`make bench\` on $$(date -u +%Y-%m-%d), $$(nproc) cores, $$(uname -sr)."; \
	  echo "Generated year: \`$$B generate $$D/year 2026 $(BENCH_LINES) 2026\` ($$(tail -1 $$D/generate.log))."; \
	  echo; echo "## Posting: sales invoices against a raw-SQLite replay"; echo; \
	  echo "\`$$B posting $$D/posting 300 5\`"; echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B posting $$D/posting/ 300 5 2>/dev/null; \
	  echo; echo "## Posting: cash receipts against a raw-SQLite replay"; echo; \
	  echo "\`$$B receipts $$D/receipts 300 5\`"; echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B receipts $$D/receipts/ 300 5 2>/dev/null; \
	  echo; echo "## Posting: collections against a raw-SQLite replay"; echo; \
	  echo "\`$$B collections $$D/collections 300 5\`"; echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B collections $$D/collections/ 300 5 2>/dev/null; \
	  echo; echo "## Four processes posting generic movements"; echo; \
	  echo "\`$$B concurrency $$D/concurrency 300 3\`"; echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B concurrency $$D/concurrency/ 300 3 2>/dev/null; \
	  echo; echo "## Stations on a PostgreSQL server against stations on a folder"; echo; \
	  echo "\`$$B server $$D/server SERVER 300 3\`, SERVER a durable private server (\`ZELVO_SERVER_FSYNC=on scripts/test-server start $(BENCH_SERVER)\`)"; \
	  echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  S=$$(ZELVO_SERVER_FSYNC=on scripts/test-server start $(BENCH_SERVER)); \
	  $$B server $$D/server/ "$$S" 300 3 2>/dev/null; scripts/test-server stop $(BENCH_SERVER); \
	  echo; echo "## General journal of the generated year"; echo; \
	  echo "\`$$B export-ledger $$D/year 2026 $$D/year.ledger\`, then \`$$B journal $$D/year 2026 $$D/year.ledger 3\` (\`ledger -f $$D/year.ledger register\`, output to /dev/null, is run by the tool)"; \
	  echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B journal $$D/year 2026 $$D/year.ledger 3 2>/dev/null; \
	  echo; echo "## Balance sheet and account card of the generated year"; echo; \
	  echo "\`$$B cards $$D/year 2026 $$D/year.ledger 3\` (\`ledger -f $$D/year.ledger balance\` and \`register\` of the busiest account, output to /dev/null, are run by the tool)"; \
	  echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B cards $$D/year 2026 $$D/year.ledger 3 2>/dev/null; \
	  echo; echo "## Account card of an account with 50,000 movements"; echo; \
	  echo "\`$$B cards-long $$D/cards-long 50000 3\`"; echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B cards-long $$D/cards-long/ 50000 3 2>/dev/null; \
	  echo; echo "## Due-date view and annual customer list"; echo; \
	  echo "\`$$B duedates $$D/year 2026 5\`"; echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B duedates $$D/year 2026 5 2>/dev/null; \
	  echo; echo "## VAT books of the generated year"; echo; \
	  echo "\`$$B vat $$D/year 2026 5\`"; echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B vat $$D/year 2026 5 2>/dev/null; \
	  echo; echo "## Spreadsheet window: ten thousand rows of formulas"; echo; \
	  echo "\`$$B sheet $$D/sheet 10000 5\`"; echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  mkdir -p $$D/sheet; QT_QPA_PLATFORM=offscreen $$B sheet $$D/sheet 10000 5 2>/dev/null; \
	  echo; echo "## Start-up (QT_QPA_PLATFORM=offscreen)"; echo; \
	  echo "\`$$B startup $$D/year 2026 7\`"; echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B startup $$D/year 2026 7 2>/dev/null; \
	  echo; echo "## Backup, restore and verification of the generated year"; echo; \
	  echo "\`$$B maintenance $$D/year 2026 $$D/maintenance 3\`"; echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B maintenance $$D/year 2026 $$D/maintenance 3 2>/dev/null; \
	  echo; echo "## Year end on the generated year"; echo; \
	  echo "\`$$B yearend $$D/year $$D/yearend 3\`"; echo; echo "| Figure | Value |"; echo "|---|---|"; \
	  $$B yearend $$D/year $$D/yearend 3 2>/dev/null; \
	  echo; cat src/tools/bench/notes.md; } > $$out; \
	mv $$out $(BENCH_DOC); echo "wrote $(BENCH_DOC)"

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
