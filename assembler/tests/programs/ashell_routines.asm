;program lib;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	x 33381d
#define	y 33383d

#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h
	nop
	jr      prog_start
	.dw     $0000
	.dw     Description
;	.dw     Icon

prog_start

	ld de, 3
	ld a,(x)
	call multiply
	ld (x), hl

	ld hl, (x)
	ld d, 2
	call divide
	ld (x), hl

	call off

	ld	a, (y)
	ld	l, a
	ld	a, (x)
	call pix
	or     (hl)
	ld     (hl), a


     ld a, (x)
     ld e,a
     ld a, (y)
     ld bc, ball
     call SPRXOR
     call _grbufcpy_v


	ret


description:
	.db "lib",0

multiply:
	LD     HL, 0
	LD     B, 8
_loop:
	RRCA
	JR     NC, _skip
	ADD    HL, DE
_skip:
	SLA    E
	RL     D
	DJNZ   _loop
	RET

divide:
	XOR    A
	LD     B, 16
_divloop:
	ADD    HL, HL
	RLA
	JR     C, _overflow
	CP     D
	JR     C, _divskip
_overflow:
	SUB    D
	INC    L
_divskip:
	DJNZ   _divloop
	RET

SPRXOR:
	        push    bc
	        ld      hl,0
	        ld      d,0
	        add     hl,de
	        add     hl,de
	        add     hl,de
	        add     hl,hl
	        add     hl,hl
	        ld      d,0
	        ld      e,a
	        srl     e
	        srl     e
	        srl     e
	        add     hl,de
	        ld      de,8e29h
	        add     hl,de
	        ld      b,00000111b 
	        and     b
	        cp      0
	        jp      z,ALIGN
	        pop     ix
	        ld      d,a
	        ld      e,8
LILOP:  ld      b,(ix+0)
	        ld      c,0
	        push    de
SHLOP:  srl     b
	        rr      c
	        dec     d
	        jp      nz,SHLOP
	        pop     de
	        ld      a,b
	        xor     (hl)
	        ld      (hl),a
	        inc     hl
	        ld      a,c
	        xor     (hl)
	        ld      (hl),a
	        ld      bc,11
	        add     hl,bc
	        inc     ix
	        dec     e
	        jp      nz,LILOP
	        jp      DONE1
ALIGN:
	        pop     de
	        ld      b,8
ALOP1:  ld      a,(de)
	        xor     (hl)
	        ld      (hl),a
	        inc     de
	        push    bc
	        ld      bc,12
	        add     hl,bc
	        pop     bc
	        djnz    ALOP1
DONE1:
	        ret

OFF:
	DI
	LD A,001H
	OUT (003H),A
	LD A,000H
	OUT (004H),A
	EX AF,AF'
	EXX
	EI
	RET 

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
ball:
 .db %10000001
 .db %01000010

.end
END
