# The commands of the README; each does all set-up itself.
.PHONY: run test dist soak
# make run RECEIVER=virtual|lirc|keys puts that receiver in build/run as DCD.dll.
ifdef RECEIVER
run: export ZAPRELAY_RECEIVER = $(RECEIVER)
endif
run:
	scripts/run
test:
	scripts/test
dist:
	scripts/dist
soak:
	scripts/soak
