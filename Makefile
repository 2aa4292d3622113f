# The two set-up commands of this project:
#   make run   - build, start the virtual K7 keyboard and the agent under Wine, show the main job
#   make test  - build everything and run every test (native, sanitizers, Windows under Wine)
# Both install what they need from Debian's packages first.

SHELL := /bin/bash
PRESETS := native asan windows

.PHONY: run test build deps clean $(addprefix build-,$(PRESETS))

run: deps build-windows
	@testbed/demo/run-demo

test: deps build
	@tools/run-tests $(PRESETS)

build: $(addprefix build-,$(PRESETS))

# A static pattern: make skips implicit rules for phony targets.
$(addprefix build-,$(PRESETS)): build-%:
	@echo "== building: $*"
	@cmake --preset $* >/dev/null
	@cmake --build --preset $* -- -k 0

deps:
	@tools/install-deps

clean:
	rm -rf build
