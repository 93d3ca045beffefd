;program game;
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

     ld a, (y)
     ld e,a
     ld a, (x)
     ld bc, ball
     call SPRXOR
     call _grbufcpy_v


	ret


description:
	.db "game",0

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

.end
END
