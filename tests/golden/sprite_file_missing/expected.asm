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

	ld b,8
	ld a, (x)
	ld l, a
	ld a, (y)
	ld ix, ball
	call ionputsprite
	call ionfastcopy


	ret


description:
	.db "demo",0
