;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	push hl
	push bc
	ld a, (b)
	ld b, a
	ld a, (:here)
	add a, b
	ld (:here), a
	pop bc
	pop hl

here,b:

	push af
	push bc
	ld a, (x)
	ld b, a
	ld a, (^v:=1)
	sub b
	ld (^v:=1), a
	pop bc
	pop af

	push hl
	ld hl, 1,
	ld (v), hl
	pop hl

	ld de, ^w:=2
	ld a,(:twice)
	call multiply
	ld (:twice), hl

twice,^w:=2:

	ld hl, ()
	ld d, end.
	call divide
	ld (), hl

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
