;program ionpic;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	col 33381d
#define	row 33383d
#include "ion.inc"
.list
	.org progstart
	ret
	jr nc, begin
	.db "ionpic",0

begin:

	ld hl, title
	ld de,PLOTSSCREEN
	ld bc,768
	ldir 
	call ionfastcopy

	ld b, 0
	ld c, 0
	ld d, 95
	ld e, 63
	ld h, 1
	call _iline

	ld a, 48
	ld (curgx2), a
	ld a, 32
	ld (curgy2), a
	ld a, 20
	ld (curgx), a
	ld a, 1
	ld (curgy), a
	call _grphcirc

	ld	a, (row)
	ld	l, a
	ld	a, (col)
	call pix
	or     (hl)
	ld     (hl), a


	ld	a,(row)
	ld	l, a
	ld	a, (col)
	call pix
	cpl
	and     (hl)
	ld     (hl), a


	ld a, (col)
	ld b, a
	ld a, (row)
	ld c, a
	ld d, 3
	call _ipoint

	call _grbufclr

	ret


description:
	.db "ionpic",0

title:
	.db 1,2,3

_grphCirc    equ   4AD8h
curgx2        equ   8870h
curgy2        equ   886Fh

pix:
	    ld       h, 0
	    ld       d,h
	    ld       e,l
	    add    hl, hl
	    add    hl, de
	    add    hl, hl
	    add    hl, hl
	    ld	      d, 0
	    ld       e, a
	    srl      e
	    srl      e
	    srl      e
	    add    hl, de
	    Ld      de, plotsscreen
	    add    hl, de
	    ld	     de,0007h
	    and    e
	    ld	     e,a
	    Ld     a, $80
	    Ld     b, e
pixloop:
	    rrca
	    djnz   pixloop
	    ret

.end
END
