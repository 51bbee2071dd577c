# The way in: `make run` starts the tool, `make test` runs the whole suite.
# Both first install whatever system packages are missing (Debian 12, as root).
# `make run LOOKUP_HOST=host:port` builds the tool to ask that lookup page for our address.

PACKAGES := cmake make g++ pkg-config \
	qt6-base-dev qt6-qpa-plugins libqt6test6 libcurl4-openssl-dev libjpeg-dev \
	libgtest-dev libgmock-dev \
	xvfb xauth xdotool xclip x11-utils fonts-wqy-microhei curl \
	nginx-light apache2-utils procps

BUILD      := build
ASAN_BUILD := build-asan
JOBS       ?= $(shell nproc)
# CI treats warnings as errors; at the desk they stay warnings.
WERROR     := $(if $(CI),ON,OFF)
CMAKE_ARGS ?=

.PHONY: all deps build run test test-plain test-sanitize bench screenshots format clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "make deps: installing" $$missing; \
		sudo=; [ "$$(id -u)" -eq 0 ] || sudo=sudo; \
		$$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
		$$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing \
			>/dev/null; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHEDU_WERROR=$(WERROR) $(CMAKE_ARGS)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DHEDU_SANITIZE=ON -DHEDU_WERROR=$(WERROR) $(CMAKE_ARGS)

build: deps $(BUILD)/CMakeCache.txt
	$(if $(LOOKUP_HOST),cmake -S . -B $(BUILD) -DLOOKUP_HOST=$(LOOKUP_HOST) >/dev/null)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./tools/run.sh $(BUILD)

test: deps test-plain test-sanitize

test-plain: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -LE nosan

bench: build
	./bench/run.sh $(BUILD)

screenshots: build
	./tools/screenshots.sh $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
