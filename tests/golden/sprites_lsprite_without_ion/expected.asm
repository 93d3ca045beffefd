;program game;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	x 33381d
#define	y 33383d

	ld hl, title
	ld de,PLOTSSCREEN
	ld bc,768
	ldir 
	call _GRBUFCPY_V 

     ld a, (y)
     ld e,a
     ld a, (x)
     ld bc, ball
     call SPRXOR
     call _grbufcpy_v

