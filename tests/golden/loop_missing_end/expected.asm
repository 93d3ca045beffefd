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

	ld a, (b)
	ld h, a
	ld a, (a)
	sub h
	ld b, a
top:
	push bc

	ld hl, (x)
	inc hl
	ld (x), hl
	pop bc
	djnz top
