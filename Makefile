# The two set-up commands of this project:
#   make run   - build, start the virtual K7 keyboard and the agent under Wine, show the main job
#   make test  - build everything and run every test (native, sanitizers, Windows under Wine)
# Both install what they need from Debian's packages first.
#   make dist  - the Windows installer dist/K7-Setup-VERSION.exe and the archive dist/K7-VERSION.zip
#                (signed when K7_SIGN_CERT and K7_SIGN_KEY name a certificate and its key)

SHELL := /bin/bash
PRESETS := native asan windows

.PHONY: run test dist build deps clean $(addprefix build-,$(PRESETS))

run: deps build-windows
	@testbed/demo/run-demo

test: deps build
	@tools/run-tests $(PRESETS)

dist: deps build-windows
	@cmake --build --preset windows --target k7_dist

build: $(addprefix build-,$(PRESETS))

# A static pattern: make skips implicit rules for phony targets.
$(addprefix build-,$(PRESETS)): build-%:
	@echo "== building: $*"
	@cmake --preset $* >/dev/null
	@cmake --build --preset $* -- -k 0

deps:
	@tools/install-deps

clean:
	rm -rf build dist
