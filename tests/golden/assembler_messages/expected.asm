;// catches a ball
;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	total 33381d
#define	speed 33383d
#include "ion.inc"
.list
	.org progstart
	ret
	jr nc, begin
	.db "demo",0

begin:

	ld hl, 0000
	ld (currow), hl
	ld hl, 0000
	ld (curcol), hl
	ld hl, msg
	call _puts

	ld a, (speed)
	ld h, a
	ld a, (total)
	sub h
	ld b, a
lp:
	push bc

	ld hl, (total)
	inc hl
	ld (total), hl
	pop bc
	djnz lp

 ld a,b

	ld de, 3
	ld a,(total)
	call multiply
	ld (total), hl

	ld b,8
	ld a, (total)
	ld l, a
	ld a, (speed)
	ld ix, ball
	call ionputsprite
	call ionfastcopy


	ret


description:
	.db "demo",0

msg:
	.db "Hi",0

multiply:
	LD     HL, 0
	LD     B, 8
_loop:
	RRCA
	JR     NC, _skip
	ADD    HL, DE
_skip:
	SLA    E
	RL     D
	DJNZ   _loop
	RET
ball:
	.db %00111100
	.db %01000010

.end
END
