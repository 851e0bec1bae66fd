#!/bin/sh
# An office that never answers, with a child of its own, like the office's launcher.
# Writes its own and its child's process ids to $LUMAREL_STANDIN_PIDS.
sleep 1000 &
echo "$$ $!" > "$LUMAREL_STANDIN_PIDS"
wait
