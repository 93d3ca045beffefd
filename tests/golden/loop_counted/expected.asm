;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	count 33381d
#define	zero 33383d
#define	x 33385d
#include "ion.inc"
.list
	.org progstart
	ret
	jr nc, begin
	.db "demo",0

begin:

	ld a, (zero)
	ld h, a
	ld a, (count)
	sub h
	ld b, a
top:
	push bc

	ld hl, (x)
	inc hl
	ld (x), hl

	push hl
	push bc
	ld a, (count)
	ld b, a
	ld a, (x)
	add a, b
	ld (x), a
	pop bc
	pop hl
	pop bc
	djnz top

	ld a, (b)
	ld h, a
	ld a, (a)
	sub h
	ld b, a
second:
	push bc

	ld hl, (x)
	inc hl
	ld (x), hl
	pop bc
	djnz second

	ld a, (b)
	ld h, a
	ld a, (a)
	sub h
	ld b, a

	ld hl, (x)
	inc hl
	ld (x), hl
	pop bc
	djnz nobegin

	ld a, (x)
	ld h, a
	ld a, ()
	sub h
	ld b, a
y:
	push bc
	pop bc
	djnz y

	ret


description:
	.db "demo",0

.end
END
