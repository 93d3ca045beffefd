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

	ld a, (x)
	ld hl, y
	ld h, (hl)
	cp h
	jp z, same

	ld a, (x)
	ld hl, y
	ld h, (hl)
	cp h
	jp nz, differ

	ld a, (x)
	ld hl, y
	ld h, (hl)
	cp h

same:

differ:

	ret


description:
	.db "demo",0

.end
END
