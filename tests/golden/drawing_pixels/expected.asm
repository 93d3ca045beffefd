;program pixels;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	col 33381d
#define	row 33383d
#define	v 33385d
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	ld	a, (row)
	ld	l, a
	ld	a, (col)
	call pix
	or     (hl)
	ld     (hl), a


	ld	a, (Row)
	ld	l, a
	ld	a, (Col)
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

	ld	a, (row)
	ld	l, a
	ld	a, ((col)
	call pix
	or     (hl)
	ld     (hl), a


	ld	a,(col)
	ld	l, a
	ld	a, ()
	call pix
	cpl
	and     (hl)
	ld     (hl), a


	ld a, ()
	ld b, a
	ld a, (row;)
	ld c, a
	ld d, 3
	call _ipoint

	ld	a, ()
	ld	l, a
	ld	a, ()
	call pix
	or     (hl)
	ld     (hl), a


	ld	a, (^v:=5;)
	ld	l, a
	ld	a, (col)
	call pix
	or     (hl)
	ld     (hl), a


	push hl
	ld hl, 5
	ld (v), hl
	pop hl

	ret


description:
	.db "pixels",0

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
