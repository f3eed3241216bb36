#!/bin/sh
# Starts Quelvane from its program folder, where its sounds and help live.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/quelvane/quelvane" "$@"
