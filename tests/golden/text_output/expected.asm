;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#include "ion.inc"
.list
	.org progstart
	ret
	jr nc, begin
	.db "demo",0

begin:

	call _clrlcdfull

	call _clrlcdfull

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, hello
	call _puts

	ld hl, 0010
	ld (pencol), hl
	ld hl, 0020
	ld (penrow), hl
	ld hl, msg
	call _vputs

	ld hl, 0000
	ld (pencol), hl
	ld hl, 0003
	ld (penrow), hl
	ld hl, hello
	call _vputs

	ld hl, 0004
	ld (currow), hl
	ld hl, 0001
	ld (curcol), hl
	ld hl, msg
	call _puts

	ld hl, 0005
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, hello

	ld hl, 1,2,
	ld (currow), hl
	ld hl, ello
	ld (curcol), hl
	ld hl, 
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0001
	ld (curcol), hl
	ld hl, s,"a
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, hello
	call _puts

	ld hl, 0000
	ld (pencol), hl
	ld hl, 0000
	ld (penrow), hl
	ld hl, blank
	call _vputs

	ld hl, 0007
	ld (currow), hl
	ld hl, 0000
	ld (curcol), hl
	ld hl, spaced name
	call _puts

	ret


description:
	.db "demo",0

hello:
	.db "Hi",0

msg:
	.db "Score",0

:
	.db "Hi",0

s,"a:
	.db "",0

hello:
	.db "Hi"",0

blank:
	.db "",0

spaced name:
	.db "two  blanks ",0

.end
END
