# Shared by the tests that drive the program as a person would, on the X display the test runs on.

key() { xdotool key --clearmodifiers "$@"; sleep 0.4; }

# The file dialogs take a typed full path.
choose() {
    sleep 1
    xdotool key ctrl+a
    xdotool type --delay 5 "$1"
    key Return
}

# Starts the program given as $1 with its output in $2, and waits until the splash is over and both
# windows are up; sets program, main and video.
start_program() {
    "$1" >"$2" 2>&1 &
    program=$!
    main=$(timeout 30 xdotool search --sync --onlyvisible --name '^Framequill$' | head -n 1)
    video=$(timeout 30 xdotool search --sync --onlyvisible --name '^Video$' | head -n 1)
    if [ -z "$main" ] || [ -z "$video" ]; then
        echo "the program's windows did not come up:"
        cat "$2"
        exit 1
    fi
    sleep 0.5
}

# Closes the main window the way a user does, through the window manager (Alt+F4 under openbox), and
# sets exit_status to the program's exit status, or to "running" when it has not ended within five seconds.
close_main_window() {
    xdotool windowactivate --sync "$main"
    xdotool key alt+F4
    exit_status=running
    for _ in $(seq 50); do
        if ! kill -0 "$program" 2>/dev/null || [ "$(ps -o stat= -p "$program")" = Z ]; then
            exit_status=0
            wait "$program" || exit_status=$?
            program=
            return
        fi
        sleep 0.1
    done
}
