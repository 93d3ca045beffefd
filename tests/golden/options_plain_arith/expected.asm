;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	total 33381d
#define	n 33383d
#define	count 33385d
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	push hl
	push bc
	ld a, (n)
	ld b, a
	ld a, (total)
	add a, b
	ld (total), a
	pop bc
	pop hl

	push af
	push bc
	ld a, (n)
	ld b, a
	ld a, (total)
	sub b
	ld (total), a
	pop bc
	pop af

	push hl
	push bc
	ld a, ( b)
	ld b, a
	ld a, (a)
	add a, b
	ld (a), a
	pop bc
	pop hl

	push hl
	ld hl, 10
	ld (count), hl
	pop hl

	push hl
	ld hl, 10
	ld (), hl
	pop hl

	ld hl, (x)
	inc hl
	ld (x), hl

	ld hl, (x)
	inc hl
	ld (x), hl

	ld hl, (x))
	inc hl
	ld (x)), hl

	ld hl, ()
	inc hl
	ld (), hl

	ld hl, (count)
	dec hl
	ld (count), hl

	ld de, 3
	ld a,(x,y)
	call multiply
	ld (x,y), hl

	ld de, x
	ld a,()
	call multiply
	ld (), hl

	ld hl, (count)
	ld d, 4
	call divide
	ld (count), hl

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
