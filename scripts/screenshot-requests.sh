# Sourced by the Windows screenshot scripts. take_requested_shots PID DIR OUT:
# while process PID runs, each time it writes "<name> <left> <top> <width>
# <height>" (screen pixels) to DIR/ready, grabs the private X display, crops
# that rectangle to OUT/<name>.png and answers with DIR/done; prints each file
# and at the end how many were taken.
take_requested_shots() {
    local program=$1 handshake=$2 out=$3 shots=0 name left top width height
    while kill -0 "$program" 2>/dev/null; do
        if [ -f "$handshake/ready" ]; then
            read -r name left top width height <"$handshake/ready"
            rm "$handshake/ready"
            sleep 0.5 # the last paints
            import -window root "$handshake/screen.png"
            /usr/bin/convert "$handshake/screen.png" \
                -crop "${width}x${height}+${left}+${top}" +repage "$out/$name.png"
            echo "$out/$name.png"
            shots=$((shots + 1))
            touch "$handshake/done"
        fi
        sleep 0.1
    done
    echo "$shots screenshots"
}
