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

loop:

loop;:

:

	ret

	ret

	ret

	jp loop

	jp z, loop

	jp nz, loop

	call draw

	call z, draw

	call nz, draw

	jp  loop

	jp ,x



	jp 


back:

	push hl
	push af
	ld a, (x)
	ld hl, y
	ld h, (hl)
	cp h
	pop hl
	ld a, h
	pop hl
	jp z, same

	push hl
	push af
	ld a, (x)
	ld hl, y
	ld h, (hl)
	cp h
	pop hl
	ld a, h
	pop hl
	jp nz, differ

	push hl
	push af
	ld a, (x)
	ld hl, y
	ld h, (hl)
	cp h
	pop hl
	ld a, h
	pop hl

	push hl
	push af
	ld a, (x)
	ld hl, y
	ld h, (hl)
	cp h
	pop hl
	ld a, h
	pop hl

	push hl
	push af
	ld a, (p,q)
	ld hl, y
	ld h, (hl)
	cp h
	pop hl
	ld a, h
	pop hl
	jp z, many

	push hl
	push af
	ld a, (:here)
	ld hl, y
	ld h, (hl)
	cp h
	pop hl
	ld a, h
	pop hl
	jp z, t

here,y:

	ret


description:
	.db "demo",0

.end
END
