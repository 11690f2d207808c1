# make run   : install what is missing, build, start the program on the demo databases
# make test  : install what is missing, build with warnings as errors and sanitizers, run every test
#              (three times: in the environment's locale, in es_AR.UTF-8 and in C)
# JOBS=N     : the build's and the suite's parallel jobs (default: every core)
# build-run and build-test also build the files' tool: build/release/src/tools/korvane-sql FILE SQL
JOBS ?= $(shell nproc)
BUILD_RUN  := build/release
BUILD_TEST := build/test
BUILD_BENCH := build/bench
DEMO_DIR   ?= $(CURDIR)/build/demo

.PHONY: deps run test build-run build-test bench-ado bench-send bench-receive screenshots clean

deps:
	@scripts/install-deps

# RUN_WERROR=ON builds the same with warnings as errors (.ci/run does: the shipped build stays
# warning-free).
RUN_WERROR ?= OFF
build-run: deps
	@cmake -S . -B $(BUILD_RUN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORV_TESTS=OFF -DKORV_WERROR=$(RUN_WERROR) >/dev/null
	@cmake --build $(BUILD_RUN) -j $(JOBS)

run: build-run
	@$(BUILD_RUN)/src/app/korvane --demo "$(DEMO_DIR)"

build-test: deps
	@cmake -S . -B $(BUILD_TEST) -DCMAKE_BUILD_TYPE=Debug -DKORV_WERROR=ON -DKORV_SANITIZE=ON -DKORV_TESTS=ON >/dev/null
	@cmake --build $(BUILD_TEST) -j $(JOBS)

# The suite runs three times: in the environment's locale; in es_AR.UTF-8 (a decimal comma, as on
# the operators' desktops), where every number must still read and print with a point; and in plain
# C (services and scheduled jobs), where text must still go through every database as UTF-8. The
# comma locale must be installed (scripts/install-deps generates it): without it the second run
# would prove nothing, and make test fails at once.
TEST_LOCALE := es_AR.UTF-8
CTEST_RUN := QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)
test: build-test
	@locale -a 2>/dev/null | grep -qix 'es_AR\.utf-\?8' || \
	  { echo "make test: the locale $(TEST_LOCALE) is not installed (scripts/install-deps generates it)" >&2; exit 1; }
	@cd $(BUILD_TEST) && $(CTEST_RUN)
	@echo "make test: the suite once more under LANG=$(TEST_LOCALE)"
	@cd $(BUILD_TEST) && LANG=$(TEST_LOCALE) LC_ALL=$(TEST_LOCALE) $(CTEST_RUN)
	@echo "make test: the suite once more under LC_ALL=C"
	@cd $(BUILD_TEST) && LANG=C LC_ALL=C $(CTEST_RUN)

build-bench: deps
	@cmake -S . -B $(BUILD_BENCH) -DCMAKE_BUILD_TYPE=Release -DKORV_TESTS=OFF -DKORV_BENCH=ON >/dev/null
	@cmake --build $(BUILD_BENCH) -j $(JOBS)

bench-ado: build-bench
	@$(BUILD_BENCH)/bench/bench_ado

bench-send: build-bench
	@$(BUILD_BENCH)/bench/bench_send

bench-receive: build-bench
	@$(BUILD_BENCH)/bench/bench_receive

screenshots: build-run
	@scripts/screenshots $(BUILD_RUN)

clean:
	rm -rf build
