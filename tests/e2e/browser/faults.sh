#!/usr/bin/env bash
# A browser that dies or stops answering under QuellPane. Killed while the prompt waits:
# QuellPane lives on, and watches the next stand-in within 3 s of its window showing. Frozen
# (SIGSTOP) while a window opens and at the exit: QuellPane still answers its own window, and
# exits with its settings saved.
# shellcheck source=_browser.sh
source "$(dirname "${BASH_SOURCE[0]}")/_browser.sh"

ms_now() {
    echo $(($(date +%s%N) / 1000000))
}

br_standin_forget() {  # the stand-in's process, ended outside br_standin_stop
    local others=() pid
    wait "$BR_STANDIN" 2>/dev/null || true
    for pid in "${E2E_SPAWNED[@]}"; do
        [ "$pid" = "$BR_STANDIN" ] || others+=("$pid")
    done
    E2E_SPAWNED=("${others[@]}")
}

br_begin
e2e_start
br_standin_start http://opener.example/index.html
browser="$(br_window_captioned http://opener.example/index.html)"
br_ask opener.example br_popup "$browser"

# Killed while the prompt waits: the answer reaches nobody, and QuellPane goes on.
kill -9 "$BR_STANDIN"
br_standin_forget
br_answer "Block Now"
e2e_gone "$E2E_PID" && e2e_fail "QuellPane.exe ended with the browser it was asking about"

br_standin_start http://second.example/
shown="$(ms_now)"
second="$(br_window_captioned http://second.example/)"
watched=""
for _ in $(seq 40); do
    br_popup "$second"
    if BR_PROMPT="$(e2e_driver wait-window --title "$BR_PROMPT_CAPTION" --visible \
        --timeout 100 2>/dev/null)"; then
        watched="$(($(ms_now) - shown))"
        break
    fi
    br_request_line "$BR_REQUEST" >/dev/null || br_fail "no answer to request $BR_REQUEST"
done
[ -n "$watched" ] || br_fail "the stand-in started after the kill was never watched"
e2e_log "the next stand-in watched $watched ms after its window showed"
((watched <= 3000)) || e2e_fail "the next stand-in watched only after $watched ms"
br_answer "Block Now"

# Frozen as a window opens: QuellPane's refresh, and its check on the windows it listens to,
# call into a process that does not answer.
br_press "$second" "$BR_NEW_WINDOW_BUTTON"
kill -STOP "$BR_STANDIN"
sleep 2
asked="$(ms_now)"
e2e_driver status "$E2E_MAIN" 1 >/dev/null
e2e_log "QuellPane answered its own window $(($(ms_now) - asked)) ms into the freeze"
((($(ms_now) - asked) <= 5000)) || e2e_fail "QuellPane stalled by a frozen browser"

# File > Exit while it is still frozen. Windows ends a call unanswered for 3 s (the message
# filter); Wine logs the cancel and goes on waiting, and holds back the posted command, so here
# the exit runs once the browser answers again: it must then end and save.
e2e_driver menu "$E2E_MAIN" mnuFileItem 1 --post
sleep 3
kill -CONT "$BR_STANDIN"
exited="$(ms_now)"
e2e_wait_end
e2e_log "exit ended $(($(ms_now) - exited)) ms after the browser answered again"
e2e_expect_setting intStopped 2
br_standin_stop
e2e_passed
