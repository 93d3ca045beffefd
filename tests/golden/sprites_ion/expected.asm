;program game;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	x 33381d
#define	y 33383d
#define	v 33385d
#include "ion.inc"
.list
	.org progstart
	ret
	jr nc, begin
	.db "game",0

begin:

	ld b,8
	ld a, (x)
	ld l, a
	ld a, (y)
	ld ix, ball
	call ionputsprite
	call ionfastcopy


	ld b,8
	ld a, ( x)
	ld l, a
	ld a, ( y)
	ld ix, ball
	call ionputsprite
	call ionfastcopy


	ld b,8
	ld a, (x)
	ld l, a
	ld a, (y)
	ld ix, 1)
	call ionputsprite
	call ionfastcopy


	ld b,8
	ld a, (x)
	ld l, a
	ld a, (y))
	ld ix, ball
	call ionputsprite
	call ionfastcopy


	ld b,8
	ld a, (sprite(ball)
	ld l, a
	ld a, (x)
	ld ix, ball
	call ionputsprite
	call ionfastcopy


	ld b,8
	ld a, ()
	ld l, a
	ld a, (sprite(ball)
	ld ix, 
	call ionputsprite
	call ionfastcopy


	ld b, 16
	ld c, 2
	ld a, (y)
	ld l, a
	ld a, (x)
	ld ix ,big
	call ionlargesprite
	call ionfastcopy

	ld b, 2
	ld c, 2
	ld a, (y)
	ld l, a
	ld a, (x)
	ld ix ,big
	call ionlargesprite
	call ionfastcopy

	ld b, 16
	ld c, 2
	ld a, (y)
	ld l, a
	ld a, (x)
	ld ix ,^v:=1
	call ionlargesprite
	call ionfastcopy

	push hl
	ld hl, 1,
	ld (v), hl
	pop hl

	ret


description:
	.db "game",0
ball:
;8*8
;sprite 1
	 .db %00111100
	 .db %01111110
	 .db %11111111
	 .db %11111111
	 .db %11111111
	 .db %11111111
	 .db %01111110
	 .db %00111100
big:
;16*2
;sprite 2
	 .db %1111111111111111
	 .db %1000000000000001

.end
END
