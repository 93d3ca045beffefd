;program shapes;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	v 33381d
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	push bc
	push de
	push hl
	ld b, 0
	ld c, 0
	ld d, 95
	ld e, 63
	ld h, 1
	call _iline
	pop hl
	pop de
	pop bc

	push bc
	push de
	push hl
	ld b, 1
	ld c,  2
	ld d, 3
	ld e, 4
	ld h, 5
	call _iline
	pop hl
	pop de
	pop bc

	push bc
	push de
	push hl
	ld b, 1
	ld c, 2
	ld d, 3
	ld e, 4
	ld h, 
	call _iline
	pop hl
	pop de
	pop bc

	push bc
	push de
	push hl
	ld b, ^v:=7
	ld c, 2
	ld d, 3
	ld e, 4
	ld h, 5
	call _iline
	pop hl
	pop de
	pop bc

	push hl
	ld hl, 7,
	ld (v), hl
	pop hl

	ld a, 48
	ld (curgx2), a
	ld a, 32
	ld (curgy2), a
	ld a, 20
	ld (curgx), a
	ld a, 1
	ld (curgy), a
	call _grphcirc

	ld a, 
	ld (curgx2), a
	ld a, 
	ld (curgy2), a
	ld a, 5
	ld (curgx), a
	ld a, 6
	ld (curgy), a
	call _grphcirc

	ld a, 1,2
	ld (curgx2), a
	ld a, 3
	ld (curgy2), a
	ld a, 4
	ld (curgx), a
	ld a, 5
	ld (curgy), a
	call _grphcirc

	ld a, 1
	ld (curgx2), a
	ld a, 2
	ld (curgy2), a
	ld a, 3
	ld (curgx), a
	ld a, 4)
	ld (curgy), a
	call _grphcirc

	ld a, 10
	ld (curgx2), a
	ld a, 10
	ld (curgy2), a
	ld a, 5
	ld (curgx), a
	ld a, 1
	ld (curgy), a
	call _grphcirc

	call _grbufclr

	call _grbufclr

	call _grbufclr

	ld hl, title
	ld de,PLOTSSCREEN
	ld bc,768
	ldir 
	call _GRBUFCPY_V 

	ret


description:
	.db "shapes",0

title:
	.db 0,0,0,0,0,0,0,0,0,0,0,0
	.db 255,255,255,255,255,255,255,255,255,255,255,255
END.
	.db 0

_grphCirc    equ   4AD8h
curgx2        equ   8870h
curgy2        equ   886Fh

.end
END
