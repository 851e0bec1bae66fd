#!/bin/sh
# An office that fails at once.
echo "$$" > "$LUMAREL_STANDIN_PIDS"
exit 1
