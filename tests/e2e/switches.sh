#!/usr/bin/env bash
# The six switches: each click shows its status text word for word, in both directions; always
# on top really moves the window in and out of the topmost band, and run at startup really
# writes and removes the Run value with the program's path.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_set_setting showHelp 0
e2e_start

run_key="${E2E_RUN_KEYS[0]}"

# What a switch changes besides its status text, checked after each click.
check_effect() {  # box value
    case "$1" in
        Check3)
            e2e_driver topmost "$E2E_MAIN" --expect "$2" >/dev/null
            ;;
        Check4)
            if [ "$2" = 1 ]; then
                e2e_expect_reg "$run_key" "$E2E_PRODUCT" "$(e2e_run_data)"
            else
                local key
                for key in "${E2E_RUN_KEYS[@]}"; do
                    e2e_expect_reg "$key" "$E2E_PRODUCT" "<absent>"
                done
            fi
            ;;
    esac
}

# box | first-run value | status when turned on | status when turned off
while IFS='|' read -r -u 3 box initial on off; do
    e2e_expect_check "$box" "$initial"
    for value in $((1 - initial)) "$initial"; do
        e2e_driver click "$E2E_MAIN" "$box"
        e2e_expect_check "$box" "$value"
        if [ "$value" = 1 ]; then
            e2e_expect_status "$on"
        else
            e2e_expect_status "$off"
        fi
        check_effect "$box" "$value"
    done
done 3<<'EOF'
Check1|1|Now blocking popups|Now allowing popups
Check2|1|Setup Mode Enabled|Setup Mode Disabled
Check6|0|Auto New Window Enabled|Auto New Window Disabled
Check5|1|Sounds Enabled|Sounds Disabled
Check3|0|Always On Top Enabled|Always On Top Disabled
Check4|0|Run On Startup Enabled|Run On Startup Disabled
EOF

e2e_exit
e2e_passed
