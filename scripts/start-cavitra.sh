#!/usr/bin/env bash
# Installs what Cavitra needs and is missing, builds what changed and starts
# it from its run folder.
exec "$(dirname "$0")/start-program.sh" cavitra "$@"
