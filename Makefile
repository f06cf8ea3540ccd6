# The two commands of the README; each does all set-up itself.
.PHONY: run test
run:
	scripts/run
test:
	scripts/test
