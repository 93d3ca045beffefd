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
#define	p 33387d
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	ld a, (n)
	ld b, a
	ld a, (total)
	add a, b
	ld (total), a

	ld a, (n)
	ld b, a
	ld a, (total)
	sub b
	ld (total), a

	ld hl, 10
	ld (count), hl

	ld hl, total
	ld (p), hl

	ld hl, (count)
	inc hl
	ld (count), hl

	ld hl, (count)
	dec hl
	ld (count), hl

	ret


description:
	.db "demo",0

.end
END
