#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Translates and assembles every example with the include files the build
# ships, as a user would: trovik from PATH starts tasm.exe, which finds the
# include files through TASM_INCLUDE; pack83 then writes the .83p file.
# Arguments: the folder of the built programs, the examples folder, the
# include folder.
set -euo pipefail
bin="$1" examples="$2" include="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$examples"/* "$work"
cd "$work"
export PATH="$bin:$PATH" TASM_INCLUDE="$include"
failed=0
for source in *.p83; do
    name="${source%.p83}"
    options=()
    [ -f "$name.spr" ] && options=(-s -c)
    [ -f "$name.spr" ] || options=(-ns -c)
    if ! trovik "$name" "${options[@]}" >"$name.log" 2>&1 || [ ! -s "$name.bin" ]; then
        echo "$name did not assemble:"; cat "$name.log"; failed=1
    elif ! pack83 "$name.bin" >>"$name.log" 2>&1 || [ ! -s "$name.83p" ]; then
        echo "$name.bin was not packed:"; cat "$name.log"; failed=1
    fi
done

# Every statement that names a system routine or variable, under each shell.
for shell in ion ashell sos none; do
    {
        echo "program every;"
        [ "$shell" = none ] || echo "shell($shell);"
        printf 'var\n x\n y\nbegin\n'
        printf '%s\n' 'clrscr();' 'write(0001,0002,t1,"Hi");' 'outtextxy(0003,0004,t2,"Yo");' \
            'rewrite(0001,0002,1,t1);' 'rewrite(0001,0002,2,t2);' 'clrdrw;' 'line(1,2,3,4,1);' \
            'circle(10,20,30,40);' 'pixelon(x,y);' 'pixeloff(x,y);' 'pixeltest(x,y);' \
            'runindic(on);' 'runindic(off);' 'contrast(x);' 'sprite(ball,x,y);' 'calcoff;'
        [ "$shell" = ion ] && printf '%s\n' 'rand(x,10);' 'lsprite(ball,x,y,1,8);'
        printf '%s\n' 'asm{' 'ball:' ' .db 255,129,129,129,129,129,129,255' '}' 'end.' 'EOF'
    } >"every_$shell.p83"
    if ! trovik "every_$shell" -ns -c >"every_$shell.log" 2>&1 || [ ! -s "every_$shell.bin" ]; then
        echo "every_$shell did not assemble:"; cat "every_$shell.log"; failed=1
    fi
done
exit "$failed"
