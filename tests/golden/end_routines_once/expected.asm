;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	x 33381d
#define	y 33383d
#include "ion.inc"
.list
	.org progstart
	ret
	jr nc, begin
	.db "demo",0

begin:

	ld de, 3
	ld a,(x)
	call multiply
	ld (x), hl

	ld de, 5
	ld a,(y)
	call multiply
	ld (y), hl

	ld de, y
	ld a,(x)
	call multiply
	ld (x), hl

	ld hl, (x)
	ld d, 2
	call divide
	ld (x), hl

	ret


description:
	.db "demo",0

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

divide:
	XOR    A
	LD     B, 16
_divloop:
	ADD    HL, HL
	RLA
	JR     C, _overflow
	CP     D
	JR     C, _divskip
_overflow:
	SUB    D
	INC    L
_divskip:
	DJNZ   _divloop
	RET

.end
END

	ld hl, (x)
	inc hl
	ld (x), hl

	ret


description:
	.db "demo",0

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

divide:
	XOR    A
	LD     B, 16
_divloop:
	ADD    HL, HL
	RLA
	JR     C, _overflow
	CP     D
	JR     C, _divskip
_overflow:
	SUB    D
	INC    L
_divskip:
	DJNZ   _divloop
	RET

.end
END
