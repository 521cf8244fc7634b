#!/usr/bin/env bash
# Starts or stops the display and the Wine server that the end-to-end tests share; CTest runs
# it as the tests' set-up and clean-up fixture.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

case "${1:-}" in
    start) e2e_session_start ;;
    stop) e2e_session_stop ;;
    *)
        echo "usage: $0 start|stop" >&2
        exit 2
        ;;
esac
